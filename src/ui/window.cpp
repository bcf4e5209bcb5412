#include "ui/ui.h"

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>

#include "capacity/capacity.h"
#include "datafiles/datafiles.h"

Fl_Double_Window *Win1;
Fl_Value_Input *SW;
Fl_Value_Input *OD;
Fl_Value_Input *ID;
Fl_Value_Input *LW;
Fl_Value_Output *CAP;

void cb_SW(Fl_Widget *, void *) { calc(); }
void cb_OD(Fl_Widget *, void *) { calc(); }
void cb_ID(Fl_Widget *, void *) { calc(); }
void cb_LW(Fl_Widget *, void *) { calc(); }

static Fl_Value_Input *dimension(int y, const char *label, Fl_Callback *cb)
{
	Fl_Value_Input *o = new Fl_Value_Input(187, y, 75, 24, label);
	o->labelfont(1);
	o->labelcolor(4);
	o->callback(cb);
	return o;
}

static Fl_Button *button(int x, int y, int w, int h, const char *label, Fl_Callback *cb)
{
	Fl_Button *o = new Fl_Button(x, y, w, h, label);
	o->callback(cb);
	return o;
}

Fl_Double_Window *make_window()
{
	Win1 = new Fl_Double_Window(385, 290, "Merrivane");
	Win1->color((Fl_Color)34);
	Win1->labelfont(1);
	SW = dimension(36, "spool width (in)", cb_SW);
	OD = dimension(79, "outer diameter (in)", cb_OD);
	ID = dimension(122, "hub diameter (in)", cb_ID);
	LW = dimension(165, "line width (in)", cb_LW);
	CAP = new Fl_Value_Output(187, 209, 75, 24, "capacity (yds)");
	CAP->color((Fl_Color)51);
	CAP->labelfont(1);
	CAP->labelcolor(4);
	CAP->step(0.1);
	button(282, 38, 80, 22, "Spool File", cb_Spool)->labelsize(12);
	button(282, 168, 80, 22, "Line File", cb_Line)->labelsize(12);
	button(282, 211, 80, 22, "Update", cb_Update)->labelsize(12);
	button(14, 254, 60, 20, "Help", cb_Help);
	Win1->end();
	return Win1;
}
