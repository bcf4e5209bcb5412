#include "capacity/extended.h"

#include <cfloat>

/* The layer loop, on the native extended type or the software one, and the
 * x87 unit's precision control. */

#if defined(__i386__) || defined(__x86_64__)
unsigned X87_Precision(int bits)
{
	unsigned short old, set;
	__asm__ volatile("fnstcw %0" : "=m"(old));
	/* bits 8 and 9: 00 single, 10 double, 11 extended */
	set = (unsigned short)((old & ~0x300u) | (bits == 64 ? 0x300u : bits == 53 ? 0x200u : 0));
	__asm__ volatile("fldcw %0" : : "m"(set) : "memory");
	return old;
}

void X87_Restore(unsigned control)
{
	unsigned short cw = (unsigned short)control;
	__asm__ volatile("fldcw %0" : : "m"(cw) : "memory");
}
#else
unsigned X87_Precision(int) { return 0; }
void X87_Restore(unsigned) {}
#endif

/* The layer loop, written once over either extended type. */
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

template <class X>
static double Yards(float r0, float R, float lw, float sw)
{
	X k = Div(Of<X>(sw), Of<X>(lw));
	X total = Of<X>(0.0f);
	X r = Of<X>(r0);
	X outer = Of<X>(R), step = Of<X>(lw);
	/* 6.2832 is the double constant widened */
	X two_pi = Of<X>(6.2832);
	while (Above(outer, r)) {
		float c = To_Float(Mul(two_pi, r));
		total = Add(total, Mul(Of<X>(c), k));
		r = Add(r, step);
	}
	return To_Double(Div(total, Of<X>(36.0f)));
}

/* The native type only where it is the x87 format itself. */
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && LDBL_MIN_EXP == -16381 && !MERRIVANE_SOFT_EXTENDED
const int NATIVE_EXTENDED = 1;
/* The x87 unit rounds to 64 bits only with its precision control set so,
 * as Linux and MinGW start a program; Windows starts threads at 53 bits,
 * and code loaded into the process may change it. Set for the loop, which
 * is called through a volatile pointer, so that none of it is moved
 * outside the setting. */
double Layer_Yards(float r0, float R, float lw, float sw)
{
	double (*volatile loop)(float, float, float, float) = Yards<long double>;
	unsigned saved = X87_Precision(64);
	double y = loop(r0, R, lw, sw);
	X87_Restore(saved);
	return y;
}
#else
const int NATIVE_EXTENDED = 0;
double Layer_Yards(float r0, float R, float lw, float sw) { return Yards<Unpacked>(r0, R, lw, sw); }
#endif

double Layer_Yards_Software(float r0, float R, float lw, float sw)
{
	return Yards<Unpacked>(r0, R, lw, sw);
}
