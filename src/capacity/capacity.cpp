#include "capacity/capacity.h"

#include <cmath>

#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>

#include "ui/ui.h"

/* The model mixes three precisions on purpose: the dimensions are single,
 * the running radius, turns per layer and total are extended (long double,
 * 64-bit significand on x86), and one turn's length is rounded to single. */

static int Layers_Fit(float r0, float R, float lw)
{
	/* Estimated in double from the rounded values: finite for any finite
	 * floats, so the check itself neither overflows nor loops. It also
	 * keeps lw far above the extended ulp of r, so r always grows. */
	double layers = ((double)R - (double)r0) / (double)lw;

	return layers <= MAX_LAYERS;
}

int Spool_Capacity(double sw_in, double od_in, double id_in, double lw_in, double *yards)
{
	if (!(sw_in > 0) || !(od_in > 0) || !(id_in >= 0) || !(lw_in > 0))
		return 0;

	float r0 = (float)(id_in * 0.5f);
	float R = (float)(od_in * 0.5f);
	float lw = (float)lw_in;
	float sw = (float)sw_in;
	if (lw == 0 || !std::isfinite(R) || !std::isfinite(sw) || !Layers_Fit(r0, R, lw))
		return 0;

	long double k = (long double)sw / lw;
	long double total = 0;
	long double r = r0;
	while (R > r) {
		/* 6.2832 is the double constant widened, not 6.2832L */
		float c = (float)((long double)6.2832 * r);
		total += c * k;
		r += lw;
	}

	double y = (double)(total / 36);
	if (!std::isfinite(y))
		return 0;
	*yards = y;
	return 1;
}

void calc()
{
	double yards;

	if (Spool_Capacity(SW->value(), OD->value(), ID->value(), LW->value(), &yards)) {
		CAP->value(yards);
		Fit_Capacity();
	}
}
