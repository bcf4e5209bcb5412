#include "capacity/layer_loop.h"

/* The layer loop on the x87 unit where the model runs on it, otherwise on
 * the software type. */

static double Yards_Native(float r0, float R, float lw, float sw)
{
	typedef long double X;
	X k = Div(Of<X>(sw), Of<X>(lw));
	return In_Yards(Layers_From(Of<X>(r0), Of<X>(0.0f), Of<X>(R), Of<X>(lw), k, Two_Pi<X>()));
}

/* The x87 unit rounds to 64 bits only with its precision control set so,
 * as Linux and MinGW start a program; Windows starts threads at 53 bits,
 * and code loaded into the process may change it. Set for the loop, which
 * is called through a volatile pointer, so that none of it is moved
 * outside the setting. Where the unit is not a real one, or there is none,
 * the software type gives its digits. */
double Layer_Yards(float r0, float R, float lw, float sw)
{
	if (!X87_Chosen())
		return Layer_Yards_Software(r0, R, lw, sw);
	double (*volatile loop)(float, float, float, float) = Yards_Native;
	unsigned saved = X87_Precision(64);
	double y = loop(r0, R, lw, sw);
	X87_Restore(saved);
	return y;
}
