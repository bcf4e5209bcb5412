#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>

#include "capacity/capacity.h"
#include "ui/ui.h"

/* The fields' dimensions to the capacity field; refused ones leave it. */
void calc()
{
	double yards;

	if (Spool_Capacity(SW->value(), OD->value(), ID->value(), LW->value(), &yards)) {
		CAP->value(yards);
		Fit_Capacity();
	}
}
