#ifndef MERRIVANE_EXTENDED_H
#define MERRIVANE_EXTENDED_H

#include <cstdint>
#include <cstring>
#include <utility>

#include "capacity/capacity.h"

/* The x87 80-bit extended type in software, exactly as the x87 unit
 * computes with its precision set to 64 bits: every result is the exact one
 * rounded to nearest, ties to even, to a 64-bit significand, with gradual
 * underflow and overflow to infinity. The encoding is the x87 one: an
 * explicit integer bit in m, a 15-bit exponent biased by 16383 and the sign
 * in se.
 *
 * Everything the layer loop can reach is here, inline, so that it is
 * compiled into the loop: behind calls the software loop ran at almost
 * twice the time per layer. Rounding at the edges of the range, division
 * and the functions on the packed layout are in extended.cpp. */

/* What the layer loop reaches on its common path is compiled into it at
 * every optimisation level; -O2 alone leaves most of it behind calls. */
#if defined(__GNUC__)
#define LOOP_INLINE static inline __attribute__((always_inline))
#else
#define LOOP_INLINE static inline
#endif

static const int BIAS = 16383;
static const int EXP_MAX = 0x7fff;
static const uint64_t TOP = 1ull << 63;

/* The places where machines and compilers differ. */
#if defined(__SIZEOF_INT128__)
LOOP_INLINE void Mul_64(uint64_t a, uint64_t b, uint64_t *hi, uint64_t *lo)
{
	unsigned __int128 p = (unsigned __int128)a * b;
	*hi = (uint64_t)(p >> 64);
	*lo = (uint64_t)p;
}
#else
LOOP_INLINE void Mul_64(uint64_t a, uint64_t b, uint64_t *hi, uint64_t *lo)
{
	uint64_t a0 = a & 0xffffffff, a1 = a >> 32, b0 = b & 0xffffffff, b1 = b >> 32;
	uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
	uint64_t mid = (p00 >> 32) + (p01 & 0xffffffff) + (p10 & 0xffffffff);
	*lo = (mid << 32) | (p00 & 0xffffffff);
	*hi = p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32);
}
#endif

#if defined(__GNUC__)
LOOP_INLINE int Leading_Zeros(uint64_t m) { return __builtin_clzll(m); } /* m != 0 */
static inline int Trailing_Zeros(uint64_t m) { return __builtin_ctzll(m); } /* m != 0 */
#else
static inline int Trailing_Zeros(uint64_t m)
{
	int n = 0;
	for (; !(m & 1); m >>= 1)
		n++;
	return n;
}

LOOP_INLINE int Leading_Zeros(uint64_t m)
{
	int n = 0;
	for (int step = 32; step; step >>= 1)
		if (!(m >> (64 - step))) {
			m <<= step;
			n += step;
		}
	return n;
}
#endif

/* The loop works on the fields apart; they are packed into the x87 layout
 * only at the edges. */
struct Unpacked {
	uint64_t m;
	int exp;
	int sign;
};

LOOP_INLINE Unpacked Pack(int sign, int exp, uint64_t m) { return {m, exp, sign}; }
LOOP_INLINE int Sign(Unpacked x) { return x.sign; }
LOOP_INLINE int Exp(Unpacked x) { return x.exp; }
static inline Unpacked Unpack(Extended x) { return {x.m, x.se & EXP_MAX, x.se >> 15}; }
static inline Extended Repack(Unpacked x) { return {x.m, (uint16_t)(x.sign << 15 | x.exp)}; }
LOOP_INLINE int Is_NaN(Unpacked x) { return Exp(x) == EXP_MAX && x.m != TOP; }
LOOP_INLINE int Is_Inf(Unpacked x) { return Exp(x) == EXP_MAX && x.m == TOP; }
LOOP_INLINE int Is_Zero(Unpacked x) { return Exp(x) == 0 && x.m == 0; }
static inline Unpacked Inf(int sign) { return Pack(sign, EXP_MAX, TOP); }


/* what the x87 unit gives for an invalid operation */
static inline Unpacked Indefinite() { return Pack(1, EXP_MAX, TOP | TOP >> 1); }

/* The NaN the x87 unit gives for NaN operands: a quiet one over a
 * signalling one, else the larger significand, else the positive one; made
 * quiet. */
static inline Unpacked NaN_Of(Unpacked a, Unpacked b)
{
	if (!Is_NaN(a)) {
		a = b;
	} else if (Is_NaN(b)) {
		uint64_t qa = a.m & TOP >> 1, qb = b.m & TOP >> 1;
		if (qb > qa || (qb == qa && (b.m > a.m || (b.m == a.m && Sign(b) < Sign(a)))))
			a = b;
	}
	a.m |= TOP >> 1;
	return a;
}

/* Biased exponent of finite, non-zero x with its significand shifted to
 * have the top bit set; a denormal gets an exponent below 1. */
LOOP_INLINE int Normalise(Unpacked x, uint64_t *m)
{
	int e = Exp(x);
	*m = x.m;
	if (e == 0) {
		int s = Leading_Zeros(x.m);
		*m <<= s;
		e = 1 - s;
	}
	return e;
}

/* Shifts hi:lo right by n >= 1, keeping in bit 0 whether any 1 fell off. */
static inline void Shift_Right_Jam_Far(uint64_t *hi, uint64_t *lo, int n)
{
	uint64_t sticky;
	if (n >= 128) {
		sticky = (*hi | *lo) != 0;
		*hi = 0;
		*lo = sticky;
	} else {
		sticky = *lo != 0 || (n > 64 && (*hi << (128 - n)) != 0);
		*lo = (*hi >> (n - 64)) | sticky;
		*hi = 0;
	}
}

LOOP_INLINE void Shift_Right_Jam(uint64_t *hi, uint64_t *lo, int n)
{
	if (n >= 64) {
		Shift_Right_Jam_Far(hi, lo, n);
		return;
	}
	uint64_t sticky = (*lo << (64 - n)) != 0;
	*lo = (*hi << (64 - n)) | (*lo >> n) | sticky;
	*hi >>= n;
}

LOOP_INLINE int Leading_Zeros_128(uint64_t hi, uint64_t lo) { return hi ? Leading_Zeros(hi) : 64 + Leading_Zeros(lo); }

/* hi:lo <<= s, for s < 128 */
LOOP_INLINE void Shift_Left_128(uint64_t *hi, uint64_t *lo, int s)
{
	if (s >= 64) {
		*hi = *lo << (s - 64);
		*lo = 0;
	} else if (s) {
		*hi = *hi << s | *lo >> (64 - s);
		*lo <<= s;
	}
}

/* Rounding decisions are coin flips to a branch predictor, so they are
 * made without branches in the common case. */
LOOP_INLINE uint64_t Round_Up(uint64_t kept, uint64_t rest)
{
	/* above half, or exactly half with an odd kept part */
	return rest > TOP - (kept & 1);
}

/* Rounds sign × hi:lo × 2^(exp - BIAS - 127), hi's top bit set, to the
 * format: lo holds the round bit on top and the sticky bits below. */
Unpacked Round_Pack_Edge(int sign, int exp, uint64_t hi, uint64_t lo);

LOOP_INLINE Unpacked Round_Pack(int sign, int exp, uint64_t hi, uint64_t lo)
{
	if (exp <= 0 || exp >= EXP_MAX - 1)
		return Round_Pack_Edge(sign, exp, hi, lo);
	hi += Round_Up(hi, lo);
	if (hi == 0) { /* carried out of the significand */
		hi = TOP;
		exp++;
	}
	return Pack(sign, exp, hi);
}

/* Finite, non-zero and not a denormal. */
LOOP_INLINE int Normal(Unpacked x) { return (unsigned)(Exp(x) - 1) < (unsigned)(EXP_MAX - 1); }

static inline Unpacked Add_Special(Unpacked a, Unpacked b);

/* both normal, the same sign: what the model does all the time */
LOOP_INLINE Unpacked Add_Same_Sign(Unpacked a, Unpacked b)
{
	int ea = Exp(a), eb = Exp(b);
	uint64_t hi = a.m, bhi = b.m, lo = 0, blo = 0;
	if (ea < eb) {
		std::swap(ea, eb);
		std::swap(hi, bhi);
	}
	if (ea > eb)
		Shift_Right_Jam(&bhi, &blo, ea - eb);
	lo = blo;
	hi += bhi;
	if (hi < bhi) {
		Shift_Right_Jam(&hi, &lo, 1);
		hi |= TOP;
		ea++;
	}
	return Round_Pack(Sign(a), ea, hi, lo);
}

LOOP_INLINE Unpacked Add(Unpacked a, Unpacked b)
{
	if (Normal(a) && Normal(b) && Sign(a) == Sign(b))
		return Add_Same_Sign(a, b);
	return Add_Special(a, b);
}

static inline Unpacked Add_Special(Unpacked a, Unpacked b)
{
	if (Is_NaN(a) || Is_NaN(b))
		return NaN_Of(a, b);
	if (Is_Inf(a))
		return Is_Inf(b) && Sign(a) != Sign(b) ? Indefinite() : a;
	if (Is_Inf(b))
		return b;
	if (Is_Zero(a))
		return Is_Zero(b) ? Pack(Sign(a) & Sign(b), 0, 0) : b;
	if (Is_Zero(b))
		return a;

	uint64_t ma, mb;
	int ea = Normalise(a, &ma), eb = Normalise(b, &mb);
	int sa = Sign(a), sb = Sign(b);
	if (ea < eb || (ea == eb && ma < mb)) {
		std::swap(ea, eb);
		std::swap(ma, mb);
		std::swap(sa, sb);
	}
	uint64_t hi = ma, lo = 0, bhi = mb, blo = 0;
	if (ea > eb)
		Shift_Right_Jam(&bhi, &blo, ea - eb);

	if (sa == sb) {
		lo = blo; /* lo was 0 */
		hi += bhi;
		if (hi < bhi) { /* carried out of 64 bits */
			Shift_Right_Jam(&hi, &lo, 1);
			hi |= TOP;
			ea++;
		}
		return Round_Pack(sa, ea, hi, lo);
	}

	/* |a| >= |b|; a bit jammed into b lies below any cancellation */
	lo = 0 - blo; /* lo was 0 */
	/* the borrow out of the low half; cppcheck takes the unsigned 0 - blo
	 * for a value below 1 and so blo for 0, but the shift above leaves in
	 * blo the bits of b that fell below a's last place */
	// cppcheck-suppress knownConditionTrueFalse
	hi = hi - bhi - (blo != 0);
	if ((hi | lo) == 0)
		return Pack(0, 0, 0);
	int s = Leading_Zeros_128(hi, lo);
	Shift_Left_128(&hi, &lo, s);
	return Round_Pack(sa, ea - s, hi, lo);
}

static inline Unpacked Mul_Special(Unpacked a, Unpacked b);

LOOP_INLINE Unpacked Mul_Normal(int sign, int exp, uint64_t ma, uint64_t mb)
{
	uint64_t hi, lo;
	Mul_64(ma, mb, &hi, &lo);
	/* the product of two significands in [1, 2) lies in [1, 4) */
	int low = (int)(1 - (hi >> 63));
	hi = (hi << low) | ((lo >> 63) & (uint64_t)low);
	lo <<= low;
	return Round_Pack(sign, exp + 1 - low, hi, lo);
}

LOOP_INLINE Unpacked Mul(Unpacked a, Unpacked b)
{
	if (Normal(a) && Normal(b))
		return Mul_Normal(Sign(a) ^ Sign(b), Exp(a) + Exp(b) - BIAS, a.m, b.m);
	return Mul_Special(a, b);
}

static inline Unpacked Mul_Special(Unpacked a, Unpacked b)
{
	int sign = Sign(a) ^ Sign(b);
	if (Is_NaN(a) || Is_NaN(b))
		return NaN_Of(a, b);
	if (Is_Inf(a) || Is_Inf(b))
		return Is_Zero(a) || Is_Zero(b) ? Indefinite() : Inf(sign);
	if (Is_Zero(a) || Is_Zero(b))
		return Pack(sign, 0, 0);
	uint64_t ma, mb;
	int exp = Normalise(a, &ma) + Normalise(b, &mb) - BIAS;
	return Mul_Normal(sign, exp, ma, mb);
}

Unpacked Div(Unpacked a, Unpacked b);

LOOP_INLINE int Above(Unpacked a, Unpacked b)
{
	if (Normal(a) && Normal(b) && Sign(a) == 0 && Sign(b) == 0)
		return Exp(a) > Exp(b) || (Exp(a) == Exp(b) && a.m > b.m);
	if (Is_NaN(a) || Is_NaN(b) || (Is_Zero(a) && Is_Zero(b)))
		return 0;
	if (Sign(a) != Sign(b))
		return Sign(b);
	int ea = Exp(a), eb = Exp(b);
	int bigger = ea > eb || (ea == eb && a.m > b.m);
	int smaller = ea < eb || (ea == eb && a.m < b.m);
	return Sign(a) ? smaller : bigger;
}

/* A binary32 or binary64 value, from its bits, exactly. */
LOOP_INLINE Unpacked Widen(uint64_t bits, int fraction_bits, int exp_bits)
{
	int sign = (int)(bits >> (fraction_bits + exp_bits));
	int emax = (1 << exp_bits) - 1, bias = emax >> 1;
	int e = (int)(bits >> fraction_bits) & emax;
	uint64_t f = bits & ((1ull << fraction_bits) - 1);
	if (e != 0 && e != emax)
		return Pack(sign, e - bias + BIAS, (f | 1ull << fraction_bits) << (63 - fraction_bits));
	if (e == emax) /* a NaN keeps its payload and is made quiet */
		return f ? Pack(sign, EXP_MAX, TOP | TOP >> 1 | f << (63 - fraction_bits)) : Inf(sign);
	if (e == 0 && f == 0)
		return Pack(sign, 0, 0);
	uint64_t m = (e ? f | 1ull << fraction_bits : f) << (63 - fraction_bits);
	int exp = (e ? e : 1) - bias + BIAS;
	int s = Leading_Zeros(m);
	return Pack(sign, exp - s, m << s);
}

/* x rounded once to a binary format with fraction_bits and exp_bits. */
LOOP_INLINE uint64_t Narrow(Unpacked x, int fraction_bits, int exp_bits)
{
	uint64_t sign = (uint64_t)Sign(x) << (fraction_bits + exp_bits);
	int emax = (1 << exp_bits) - 1, bias = emax >> 1;
	uint64_t inf = (uint64_t)emax << fraction_bits;
	if (Is_NaN(x)) /* the payload's top bits, made quiet */
		return sign | inf | 1ull << (fraction_bits - 1) | (x.m << 1 >> (64 - fraction_bits));
	if (Is_Inf(x))
		return sign | inf;
	if (Is_Zero(x))
		return sign;

	uint64_t m;
	int e = Normalise(x, &m) - BIAS + bias; /* biased in the target */
	if (e >= emax)
		return sign | inf;
	int shift = 63 - fraction_bits;
	if (e < 1) { /* a subnormal in the target keeps fewer bits */
		shift += 1 - e;
		e = 1;
	}
	uint64_t r;
	if (shift > 64) {
		r = 0;
	} else if (shift == 64) {
		r = m > TOP; /* above half the smallest subnormal */
	} else {
		r = m >> shift;
		r += Round_Up(r, m << (64 - shift));
	}
	/* r carries the integer bit into the exponent, and a carry out of
	 * the fraction moves up to the next binade */
	uint64_t bits = ((uint64_t)(e - 1) << fraction_bits) + r;
	return sign | (bits >= inf ? inf : bits);
}

LOOP_INLINE Unpacked From_Double(double d)
{
	uint64_t bits;
	std::memcpy(&bits, &d, sizeof bits);
	return Widen(bits, 52, 11);
}

LOOP_INLINE Unpacked From_Float(float f)
{
	uint32_t bits;
	std::memcpy(&bits, &f, sizeof bits);
	return Widen(bits, 23, 8);
}

LOOP_INLINE double To_Double(Unpacked x)
{
	uint64_t bits = Narrow(x, 52, 11);
	double d;
	std::memcpy(&d, &bits, sizeof d);
	return d;
}

LOOP_INLINE float To_Float(Unpacked x)
{
	uint32_t bits = (uint32_t)Narrow(x, 23, 8);
	float f;
	std::memcpy(&f, &bits, sizeof f);
	return f;
}

#endif
