#ifndef MERRIVANE_LAYER_LOOP_H
#define MERRIVANE_LAYER_LOOP_H

#include <cfloat>

#include "capacity/extended.h"

/* The layer loop, written once over either extended type: the native long
 * double where it is the x87 format, or the software one. */

[[maybe_unused]] static long double Add(long double a, long double b) { return a + b; }
[[maybe_unused]] static long double Mul(long double a, long double b) { return a * b; }
[[maybe_unused]] static long double Div(long double a, long double b) { return a / b; }
[[maybe_unused]] static int Above(long double a, long double b) { return a > b; }
/* Rounded by a store where the compiler keeps excess precision in
 * registers (FLT_EVAL_METHOD 2: i386); elsewhere the conversion rounds. */
template <class F> static inline F Rounded(long double x)
{
#if FLT_EVAL_METHOD == 2
	volatile F stored = (F)x;
	return stored;
#else
	return (F)x;
#endif
}
[[maybe_unused]] static float To_Float(long double x) { return Rounded<float>(x); }
[[maybe_unused]] static double To_Double(long double x) { return Rounded<double>(x); }

/* exact for every float and double */
template <class X> X Of(float f);
template <class X> X Of(double d);
template <> inline long double Of(float f) { return f; }
template <> inline long double Of(double d) { return d; }
template <> inline Unpacked Of(float f) { return From_Float(f); }
template <> inline Unpacked Of(double d) { return From_Double(d); }

/* One layer at radius r: its turn, 6.2832 r rounded to single, k times. */
template <class X> static inline X Layer(X r, X total, X k, X two_pi)
{
	float c = To_Float(Mul(two_pi, r));
	return Add(total, Mul(Of<X>(c), k));
}

/* The layers from radius r on, added to total, in inches. */
template <class X>
static X Layers_From(X r, X total, X outer, X step, X k, X two_pi)
{
	while (Above(outer, r)) {
		total = Layer(r, total, k, two_pi);
		r = Add(r, step);
	}
	return total;
}

template <class X> static double In_Yards(X inches) { return To_Double(Div(inches, Of<X>(36.0f))); }

/* 6.2832 is the double constant widened */
template <class X> static X Two_Pi() { return Of<X>(6.2832); }

#endif
