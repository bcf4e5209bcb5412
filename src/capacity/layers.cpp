#include "capacity/extended.h"

#include <cfloat>
#include <climits>
#include <cstring>

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

/* The layers from radius r on, added to total, in inches. */
template <class X>
static X Layers_From(X r, X total, X outer, X step, X k, X two_pi)
{
	while (Above(outer, r)) {
		float c = To_Float(Mul(two_pi, r));
		total = Add(total, Mul(Of<X>(c), k));
		r = Add(r, step);
	}
	return total;
}

template <class X> static double In_Yards(X inches) { return To_Double(Div(inches, Of<X>(36.0f))); }

template <class X>
static double Yards(float r0, float R, float lw, float sw)
{
	/* 6.2832 is the double constant widened */
	X k = Div(Of<X>(sw), Of<X>(lw));
	return In_Yards(Layers_From(Of<X>(r0), Of<X>(0.0f), Of<X>(R), Of<X>(lw), k, Of<X>(6.2832)));
}

/* The software loop, specialised for what it can meet. After the dimension
 * checks r0 is finite and not negative, and R, lw and sw are finite and
 * positive, so every value in the loop is a positive normal number but
 * for two cases: on a spool without a hub r, c and the first layer's
 * length are 0, and a turn too long for single precision makes c and the
 * total infinite (the result is then refused); both go through the
 * general operations. The radius r0 + i lw is kept as an exact count of
 * its last place, n × 2^e, while that fits in 64 bits: the additions are
 * then exact. Past that, the general loop goes on from where it is.
 *
 * Most layers fall in stretches where no exponent moves: not 6.2832 r's,
 * not the turn's, not the layer's, not the total's. There every rounding
 * is at a fixed place, and a layer is a few integer operations
 * (Stretch). A layer where an exponent moves, or any other, goes
 * through the operations one at a time (One_Layer). */

/* f >= 0 as n × 2^e, n odd (or 0); -0 is 0 */
struct Exact {
	uint64_t n;
	int e;
};

static Exact Exactly(float f)
{
	uint32_t bits;
	std::memcpy(&bits, &f, sizeof bits);
	bits &= 0x7fffffff;
	int biased = (int)(bits >> 23);
	uint64_t n = bits & 0x7fffff;
	if (biased)
		n |= 1u << 23;
	if (n == 0)
		return {0, INT_MAX};
	int zeros = Trailing_Zeros(n);
	return {n >> zeros, (biased ? biased : 1) - 150 + zeros};
}

/* x in units of 2^e (x.e >= e), if that fits in 64 bits */
static int Scaled(Exact x, int e, uint64_t *n)
{
	if (x.n == 0) {
		*n = 0;
		return 1;
	}
	int shift = x.e - e;
	if (shift > Leading_Zeros(x.n))
		return 0;
	*n = x.n << shift;
	return 1;
}

/* The first count of units of 2^e at or above x, if it fits in 64 bits. */
static int Ceiling(Exact x, int e, uint64_t *n)
{
	if (x.e >= e)
		return Scaled(x, e, n);
	int shift = e - x.e;
	*n = shift >= 64 ? 1 : (x.n >> shift) + ((x.n & ((1ull << shift) - 1)) != 0);
	return 1;
}

static int Leading_Zeros_128(uint64_t hi, uint64_t lo) { return hi ? Leading_Zeros(hi) : 64 + Leading_Zeros(lo); }

/* hi:lo <<= s, for s < 128 */
static void Shift_Left_128(uint64_t *hi, uint64_t *lo, int s)
{
	if (s >= 64) {
		*hi = *lo << (s - 64);
		*lo = 0;
	} else if (s) {
		*hi = *hi << s | *lo >> (64 - s);
		*lo <<= s;
	}
}

/* hi:lo += dh:dl; returns the carry out of 128 bits */
LOOP_INLINE int Add_128(uint64_t *hi, uint64_t *lo, uint64_t dh, uint64_t dl)
{
	*lo += dl;
	uint64_t carry = *lo < dl, h = *hi + dh;
	int out = h < dh;
	h += carry;
	out |= h < carry;
	*hi = h;
	return out;
}

/* a × b rounded, for significands with the top bit set; *e, the sum of
 * their exponents, becomes the product's */
static uint64_t Product(uint64_t a, uint64_t b, int *e)
{
	uint64_t hi, lo;
	Mul_64(a, b, &hi, &lo);
	/* the product of two significands in [1, 2) lies in [1, 4) */
	if (hi >> 63) {
		++*e;
	} else {
		hi = hi << 1 | lo >> 63;
		lo <<= 1;
	}
	uint64_t m = hi + Round_Up(hi, lo);
	if (m < hi) { /* carried out of the significand */
		m = TOP;
		++*e;
	}
	return m;
}

/* Whether a turn of 24-bit significand c24 times k's significand km
 * rounds to below 2: below 2^127 - 2^62 as 128-bit product. */
static int Below_Two(uint64_t c24, uint64_t km)
{
	uint64_t ph, pl;
	Mul_64(c24 << 40, km, &ph, &pl);
	return ph < TOP - 1 || (ph == TOP - 1 && pl < (uint64_t)3 << 62);
}

/* 6.2832 r exactly: m n, a 128-bit count of 2^(e + em) */
struct Turns {
	uint64_t m; /* 6.2832's significand, odd */
	int e, em;
};

/* 6.2832 r at n, shifted to set the top bit of qh:ql (n != 0); returns
 * the exponent of that bit and sets *shift to how far it went */
static int Turn_Exactly(const Turns &tu, uint64_t n, uint64_t *qh, uint64_t *ql, int *shift)
{
	Mul_64(tu.m, n, qh, ql);
	*shift = Leading_Zeros_128(*qh, *ql);
	Shift_Left_128(qh, ql, *shift);
	return tu.e + tu.em + 127 - *shift;
}

/* The turn's significand from 6.2832 r, q = hi:lo with the top bit set:
 * q rounded to 64 bits and then to 24, as the unit rounds twice. Returns
 * 0 where that carries into the next binade. */
LOOP_INLINE int Turn(uint64_t hi, uint64_t lo, uint64_t *c)
{
	/* a tie at 24 bits is decided by bit 40, the same before the first
	 * rounding as after it wherever it matters */
	uint64_t up = ((hi >> 40) & 1) + (((uint64_t)1 << 39) - 1) + Round_Up(hi, lo), y = hi + up;
	*c = y & ~(((uint64_t)1 << 40) - 1);
	return y >= hi;
}

/* Layers from n on, while no exponent moves, up to count of them; returns
 * how many it added to *total. High: the turn's significand times k's is 2
 * or more. */
template <int High>
static uint64_t Stretch_Layers(uint64_t qh, uint64_t ql, uint64_t dh, uint64_t dl, uint64_t climit, uint64_t km, int d,
	uint64_t *total, uint64_t count)
{
	uint64_t t = *total, mask = ((uint64_t)1 << d) - 1, half = (uint64_t)1 << (d - 1), i;
	for (i = 0; i < count;) {
		uint64_t c, ph, pl;
		if (!Turn(qh, ql, &c) || c >= climit)
			break;
		Mul_64(c, km, &ph, &pl);
		if (!High) {
			ph = ph << 1 | pl >> 63;
			pl <<= 1;
		}
		uint64_t p = ph + Round_Up(ph, pl);
		/* t + p 2^-d, rounded at t's last place */
		uint64_t sum = t + (p >> d), lo = p & mask;
		uint64_t next = sum + ((lo + half - 1 + (sum & 1)) >> d);
		if (next < t)
			break; /* carried out of 64 bits */
		t = next;
		i++;
		if (Add_128(&qh, &ql, dh, dl))
			break; /* 6.2832 r left its binade */
	}
	*total = t;
	return i;
}

/* The layers from n, in units of 2^e, on while no exponent moves, at most
 * count of them; returns how many it added to total. */
static uint64_t Stretch(const Turns &tu, uint64_t n, uint64_t unit, Unpacked k, Unpacked *total, uint64_t count)
{
	uint64_t qh, ql, dh, dl;
	if (n < unit)
		return 0; /* the step, shifted as far, would not fit */
	int shift, ec = Turn_Exactly(tu, n, &qh, &ql, &shift);
	Mul_64(tu.m, unit, &dh, &dl);
	Shift_Left_128(&dh, &dl, shift);
	/* the turn is a normal single */
	if (ec + 127 < 1 || ec + 127 > 254 || total->m < TOP || Exp(*total) >= EXP_MAX)
		return 0;
	uint64_t c, ph, pl;
	if (!Turn(qh, ql, &c))
		return 0;
	Mul_64(c, k.m, &ph, &pl);
	int high = (int)(ph >> 63);
	int d = Exp(*total) - (ec + Exp(k) + high);
	if (d < 1 || d > 62)
		return 0;
	/* Below 2, the stretch ends at the first turn whose product with k
	 * rounds to 2: a guess in doubles, then made exact. */
	uint64_t climit = ~(uint64_t)0;
	if (!high) {
		const uint64_t first = (uint64_t)1 << 23, past = (uint64_t)1 << 24;
		double guess = 0x1p87 / (double)k.m;
		uint64_t c24 = guess < (double)past ? (uint64_t)guess : past;
		while (c24 > first && !Below_Two(c24 - 1, k.m))
			c24--;
		while (c24 < past && Below_Two(c24, k.m))
			c24++;
		if (c24 < past)
			climit = c24 << 40;
	}
	return high ? Stretch_Layers<1>(qh, ql, dh, dl, climit, k.m, d, &total->m, count)
		    : Stretch_Layers<0>(qh, ql, dh, dl, climit, k.m, d, &total->m, count);
}

/* One layer at n through the operations one at a time; returns 0 where its
 * turn is too long for single precision, which makes the total infinite. */
static int One_Layer(const Turns &tu, uint64_t n, Unpacked k, Unpacked *total)
{
	if (n == 0)
		return 1; /* a turn of length 0 adds 0 */
	uint64_t qh, ql;
	int shift, et = Turn_Exactly(tu, n, &qh, &ql, &shift) + BIAS;
	uint64_t mt = qh + Round_Up(qh, ql);
	if (mt < qh) { /* carried out of the significand */
		mt = TOP;
		et++;
	}
	Unpacked c = From_Float(To_Float(Pack(0, et, mt)));
	if (Is_Inf(c))
		return 0;
	int ep = Exp(c) + Exp(k) - BIAS;
	uint64_t mp = Product(c.m, k.m, &ep);
	*total = Add(*total, Pack(0, ep, mp));
	return 1;
}

static Unpacked Inches_Software(float r0, float R, float lw, float sw)
{
	const Unpacked k = Div(From_Float(sw), From_Float(lw)), two_pi = From_Double(6.2832);
	const Unpacked outer = From_Float(R), step = From_Float(lw);
	Unpacked total = From_Float(0.0f), r = From_Float(r0);

	Exact start = Exactly(r0), add = Exactly(lw);
	int e = start.e < add.e ? start.e : add.e;
	uint64_t n, unit, end = 0;
	if (Scaled(start, e, &n) && Scaled(add, e, &unit)) {
		int ends = Ceiling(Exactly(R), e, &end);
		/* n + unit stays within 64 bits below this; unit is at least 1 */
		uint64_t last = UINT64_MAX - unit + 1;
		if (ends && end < last)
			last = end;
		int trailing = Trailing_Zeros(two_pi.m);
		const Turns tu = {two_pi.m >> trailing, e, Exp(two_pi) - BIAS - 63 + trailing};
		while (n < last) {
			if (n) {
				n += unit * Stretch(tu, n, unit, k, &total, (last - n - 1) / unit + 1);
				if (n >= last)
					break;
			}
			if (!One_Layer(tu, n, k, &total))
				return Inf(0);
			n += unit;
		}
		int zeros = Leading_Zeros(n);
		r = Pack(0, e + 63 - zeros + BIAS, n << zeros);
	}
	return Layers_From(r, total, outer, step, k, two_pi);
}

static double Yards_Software(float r0, float R, float lw, float sw) { return In_Yards(Inches_Software(r0, R, lw, sw)); }

int Choose_X87(int exact, unsigned machine)
{
	return exact && machine != 0xaa64; /* IMAGE_FILE_MACHINE_ARM64 */
}

/* The native type only where it is the x87 format itself. */
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && LDBL_MIN_EXP == -16381 && !MERRIVANE_SOFT_EXTENDED
const int NATIVE_EXTENDED = 1;

#if defined(_WIN32)
#include <windows.h>
/* The machine Windows runs on, which an x64 program on ARM64 is told only
 * by IsWow64Process2 (Windows 10 1709 and later). */
static unsigned Native_Machine()
{
	typedef BOOL(WINAPI * Query)(HANDLE, USHORT *, USHORT *);
	HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
	Query query = kernel ? (Query)(void *)GetProcAddress(kernel, "IsWow64Process2") : nullptr;
	USHORT process, native;
	return query && query(GetCurrentProcess(), &process, &native) ? native : 0;
}
#else
static unsigned Native_Machine() { return 0; }
#endif

/* x, a result of the unit, and y, the software type's, alike to the bit */
static int Alike(long double x, Unpacked y)
{
	Extended e = Repack(y);
	unsigned char a[10], b[10];
	std::memcpy(a, &x, sizeof a);
	std::memcpy(b, &e.m, sizeof e.m);
	std::memcpy(b + 8, &e.se, sizeof e.se);
	return std::memcmp(a, b, sizeof a) == 0;
}

/* Operations that only a 64-bit significand and a 15-bit exponent get
 * right, as the unit and the software type give them, at the precision
 * control the loop sets. Emulators that compute the unit in doubles get
 * them wrong: valgrind, box64, Windows on ARM unless told otherwise. */
static volatile long double one = 1, three = 3, tiny = 0x1p-63L, odd = 2147483649.0L,
	low = 0x1p-1074L, lower = 0x1p-100L, high = 0x1p1174L;

static int Rounds_At_64()
{
	const Unpacked u1 = From_Double(1), minus1 = Pack(1, Exp(u1), u1.m), u3 = From_Double(3);
	const Unpacked utiny = Pack(0, BIAS - 63, TOP), uodd = From_Double(2147483649.0);
	const Unpacked range = Mul(Mul(From_Double(0x1p-1074), From_Double(0x1p-100)), Pack(0, BIAS + 1174, TOP));
	return Alike((one + tiny) - one, Add(Add(u1, utiny), minus1)) && Alike(one / three, Div(u1, u3)) &&
		Alike(odd * odd, Mul(uodd, uodd)) && (long long)(odd * odd) == 4611686022722355201LL &&
		Alike((low * lower) * high, range);
}

static int Rounds_At_53() { return (one + tiny) - one == 0; }

/* Whether the unit rounds as a real one does. Each probe is called through
 * a volatile pointer, like the loop, so that none of it is moved outside
 * its setting. */
static int X87_Rounds_Exactly()
{
	int (*volatile at_64)() = Rounds_At_64, (*volatile at_53)() = Rounds_At_53;
	unsigned saved = X87_Precision(64);
	int exact = at_64();
	X87_Precision(53);
	exact = exact && at_53();
	X87_Restore(saved);
	return exact;
}

int X87_Chosen()
{
	static const int chosen = Choose_X87(X87_Rounds_Exactly(), Native_Machine());
	return chosen;
}

/* The x87 unit rounds to 64 bits only with its precision control set so,
 * as Linux and MinGW start a program; Windows starts threads at 53 bits,
 * and code loaded into the process may change it. Set for the loop, which
 * is called through a volatile pointer, so that none of it is moved
 * outside the setting. Where the unit is not a real one, the software
 * type gives its digits. */
double Layer_Yards(float r0, float R, float lw, float sw)
{
	if (!X87_Chosen())
		return Yards_Software(r0, R, lw, sw);
	double (*volatile loop)(float, float, float, float) = Yards<long double>;
	unsigned saved = X87_Precision(64);
	double y = loop(r0, R, lw, sw);
	X87_Restore(saved);
	return y;
}
#else
const int NATIVE_EXTENDED = 0;
int X87_Chosen() { return 0; }
double Layer_Yards(float r0, float R, float lw, float sw) { return Yards_Software(r0, R, lw, sw); }
#endif

double Layer_Yards_Software(float r0, float R, float lw, float sw)
{
	return Yards_Software(r0, R, lw, sw);
}

Extended Layer_Inches_Software(float r0, float R, float lw, float sw)
{
	return Repack(Inches_Software(r0, R, lw, sw));
}
