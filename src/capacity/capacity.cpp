#include "capacity/capacity.h"

#include <cmath>

/* The model mixes three precisions on purpose: the dimensions are single,
 * the running radius, turns per layer and total are extended (the x87
 * format, in software where the machine lacks it), and one turn's length is
 * rounded to single. */

/* Estimated in double from the rounded values: finite for any finite
 * floats, so the check itself neither overflows nor loops. It also keeps
 * lw far above the extended ulp of r, so r always grows. */
static double Layers(float r0, float R, float lw) { return ((double)R - (double)r0) / (double)lw; }

static int Layers_Fit(float r0, float R, float lw)
{
	/* Where double arithmetic runs on the x87 unit (i386), it rounds to
	 * double only with the precision control at 53 bits; no exponent here
	 * leaves double's range, so the estimate is then the same everywhere.
	 * Called through a volatile pointer, so that no part of it is moved
	 * outside the setting. */
	double (*volatile layers)(float, float, float) = Layers;
	unsigned saved = X87_Precision(53);
	double n = layers(r0, R, lw);
	X87_Restore(saved);
	return n <= MAX_LAYERS;
}

/* The dimensions in single precision, or 0 for input the model refuses. */
static int Dimensions(double sw_in, double od_in, double id_in, double lw_in,
	float *r0, float *R, float *lw, float *sw)
{
	if (!(sw_in > 0) || !(od_in > 0) || !(id_in >= 0) || !(lw_in > 0))
		return 0;

	*r0 = (float)(id_in * 0.5f);
	*R = (float)(od_in * 0.5f);
	*lw = (float)lw_in;
	*sw = (float)sw_in;
	/* a dimension beyond single precision is refused, not taken as
	 * infinite, and one that is 0 there as a typed 0 is; a hub that is 0
	 * there is no hub */
	return *lw != 0 && *R != 0 && *sw != 0 && std::isfinite(*lw) && std::isfinite(*r0) &&
		std::isfinite(*R) && std::isfinite(*sw) && Layers_Fit(*r0, *R, *lw);
}

static int Capacity_With(double (*layer_yards)(float, float, float, float),
	double sw_in, double od_in, double id_in, double lw_in, double *yards)
{
	float r0, R, lw, sw;
	if (!Dimensions(sw_in, od_in, id_in, lw_in, &r0, &R, &lw, &sw))
		return 0;
	/* The result is stored before the caller's precision control is
	 * back: qemu's x87 rounds even a load of a double to it, which a real
	 * unit never does. */
	unsigned saved = X87_Precision(64);
	double y = layer_yards(r0, R, lw, sw);
	int finite = std::isfinite(y);
	if (finite)
		*yards = y;
	X87_Restore(saved);
	return finite;
}

int Spool_Capacity(double sw, double od, double id, double lw, double *yards)
{
	return Capacity_With(Layer_Yards, sw, od, id, lw, yards);
}

int Spool_Capacity_Software(double sw, double od, double id, double lw, double *yards)
{
	return Capacity_With(Layer_Yards_Software, sw, od, id, lw, yards);
}
