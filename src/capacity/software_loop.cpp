#include "capacity/layer_loop.h"

#include <climits>

/* The layer loop on the software type, specialised for what it can meet,
 * to the same bits as the loop written over either type.
 *
 * The radius is carried as a count of units, n × 2^e (Radius): exact while
 * the line's width is a whole number of units, or holding all 64 bits of
 * r's significand and rounded at its last place, as the unit's addition
 * rounds, while r's exponent does not move. A layer where it moves, or
 * where r and the line hold bits too far apart for 64, goes through the
 * general operations, and the count starts again from there.
 *
 * Most layers fall in stretches where no other exponent moves either: not
 * 6.2832 r's, not the turn's, not the layer's, not the total's. There every
 * rounding is at a fixed place, and a layer is a few integer operations
 * (Stretch): 6.2832 r is an exact 128-bit count, one addition a layer. A
 * layer where an exponent moves, or any other, goes through the operations
 * one at a time (One_Layer). A spool without a hub has a first turn of 0,
 * and a turn too long for single precision makes the total infinite (the
 * result is then refused). */

/* x >= 0, normal or 0, as n × 2^e, n odd, or {0, INT_MAX}; -0 is 0 */
struct Exact {
	uint64_t n;
	int e;
};

static Exact Exactly(Unpacked x)
{
	if (x.m == 0)
		return {0, INT_MAX};
	int zeros = Trailing_Zeros(x.m);
	return {x.m >> zeros, Exp(x) - BIAS - 63 + zeros};
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

/* r = n × 2^e, and what a layer adds: lw is q units and a rest below one.
 * With a rest, n holds r's whole significand and the sum rounds at its
 * last place: up where the rest is above half a unit, or half and n + q
 * odd. The count goes on while n is below last: below R, and with room
 * for one more step in 64 bits. */
struct Radius {
	uint64_t n, q, last;
	int e, above, tie;
};

/* n after one more layer. A tie rounds to an even count, so from an even
 * count on every step is the same. */
static uint64_t Next(const Radius &r, uint64_t n)
{
	n += r.q;
	return n + (uint64_t)(r.above | (r.tie & (int)(n & 1)));
}

/* r, finite and not negative, and lw as a count, where one fits. */
static int Counted(Unpacked r, Exact add, Exact outer, Radius *c)
{
	Exact start = Exactly(r);
	int e = start.e < add.e ? start.e : add.e;
	c->above = c->tie = 0;
	if (!Scaled(start, e, &c->n) || !Scaled(add, e, &c->q)) {
		e = Exp(r) - BIAS - 63;
		int s = e - add.e;
		if (!Normal(r) || s < 1 || s > 63 || (add.n >> s) == 0)
			return 0;
		uint64_t rest = add.n & (((uint64_t)1 << s) - 1), half = (uint64_t)1 << (s - 1);
		c->n = r.m;
		c->q = add.n >> s;
		c->above = rest > half;
		c->tie = rest == half;
	}
	c->e = e;
	c->last = UINT64_MAX - c->q;
	uint64_t end;
	if (Ceiling(outer, e, &end) && end < c->last)
		c->last = end;
	return 1;
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

/* The turn from 6.2832 r, q = hi:lo with the top bit set: q rounded to 64
 * bits and then to single, whose last place lies drop bits up (40 for a
 * normal single, more for a subnormal one), as the unit rounds twice.
 * Returns 0 where that carries into the next binade. */
LOOP_INLINE int Turn(uint64_t hi, uint64_t lo, int drop, uint64_t *c)
{
	/* a tie in single is decided by bit drop, the same before the first
	 * rounding as after it wherever it matters */
	uint64_t up = ((hi >> drop) & 1) + (((uint64_t)1 << (drop - 1)) - 1) + Round_Up(hi, lo), y = hi + up;
	*c = y & ~(((uint64_t)1 << drop) - 1);
	return y >= hi;
}

/* whether a turn whose top bit is 2^e is too long for single precision */
static int Too_Long(int e) { return e + 127 > 254; }

/* A stretch's fixed places: the count's step and bound, 6.2832 r and what
 * a layer adds to it, the turn's last place and bound, k's significand,
 * and how far below the total's last place a layer's product lies. */
struct Run {
	uint64_t step, last, qh, ql, dh, dl, climit, km;
	int drop, d;
};

/* How a layer's product is formed: a turn times k below 2 or at 2 and
 * above, or a turn rounded up to the next power of two, whose product is
 * k itself. */
enum { LOW, HIGH, CARRIED };

/* Layers from n on while no exponent moves, below the count's bound; adds
 * them to *total and returns the count after them. */
template <int Kind>
static uint64_t Stretch_Layers(const Run &s, uint64_t n, uint64_t *total)
{
	/* copied, so that no store through total makes the compiler read them again */
	uint64_t t = *total, qh = s.qh, ql = s.ql, dh = s.dh, dl = s.dl, step = s.step, last = s.last;
	uint64_t km = s.km, climit = s.climit;
	const int drop = s.drop, d = s.d;
	const uint64_t mask = ((uint64_t)1 << d) - 1, half = (uint64_t)1 << (d - 1);
	while (n < last) {
		uint64_t p = km;
		if (Kind != CARRIED) {
			uint64_t c, ph, pl;
			if (!Turn(qh, ql, drop, &c) || c >= climit)
				break;
			Mul_64(c, km, &ph, &pl);
			if (Kind == LOW) {
				ph = ph << 1 | pl >> 63;
				pl <<= 1;
			}
			p = ph + Round_Up(ph, pl);
		}
		/* t + p 2^-d, rounded at t's last place */
		uint64_t sum = t + (p >> d), lo = p & mask;
		uint64_t next = sum + ((lo + half - 1 + (sum & 1)) >> d);
		if (next < t)
			break; /* carried out of 64 bits */
		t = next;
		n += step;
		if (Add_128(&qh, &ql, dh, dl))
			break; /* 6.2832 r left its binade */
	}
	*total = t;
	return n;
}

/* The layers from n on while no exponent moves; returns the count after
 * them, n itself where the stretch cannot start. */
static uint64_t Stretch(const Turns &tu, const Radius &r, uint64_t n, Unpacked k, Unpacked *total)
{
	Run s;
	s.step = Next(r, n) - n;
	s.last = r.last;
	/* a tie from an odd count goes alone; the step, shifted as far as
	 * 6.2832 r, must fit */
	if ((r.tie && (n & 1)) || n < s.step)
		return n;
	int shift, ec = Turn_Exactly(tu, n, &s.qh, &s.ql, &shift);
	Mul_64(tu.m, s.step, &s.dh, &s.dl);
	Shift_Left_128(&s.dh, &s.dl, shift);
	s.km = k.m;
	s.climit = ~(uint64_t)0;
	/* the turn a single, normal or subnormal with two bits or more */
	s.drop = 40 + (ec + 127 < 1 ? 1 - (ec + 127) : 0);
	if (Too_Long(ec) || s.drop > 62 || total->m < TOP || Exp(*total) >= EXP_MAX)
		return n;
	uint64_t c, ph, pl;
	if (!Turn(s.qh, s.ql, s.drop, &c)) {
		/* 6.2832 r rounds up to the next power of two, and so it does to
		 * the end of its binade */
		s.d = Exp(*total) - (ec + 1 + Exp(k));
		if (Too_Long(ec + 1) || s.d < 1 || s.d > 62)
			return n;
		return Stretch_Layers<CARRIED>(s, n, &total->m);
	}
	Mul_64(c, k.m, &ph, &pl);
	int high = (int)(ph >> 63);
	s.d = Exp(*total) - (ec + Exp(k) + high);
	if (s.d < 1 || s.d > 62)
		return n;
	if (high)
		return Stretch_Layers<HIGH>(s, n, &total->m);
	/* Below 2, the stretch ends at the first turn whose product with k
	 * rounds to 2: a guess in doubles, then made exact. */
	const uint64_t first = (uint64_t)1 << 23, past = (uint64_t)1 << 24;
	double guess = 0x1p87 / (double)k.m;
	uint64_t c24 = guess < (double)past ? (uint64_t)guess : past;
	while (c24 > first && !Below_Two(c24 - 1, k.m))
		c24--;
	while (c24 < past && Below_Two(c24, k.m))
		c24++;
	if (c24 < past)
		s.climit = c24 << 40;
	return Stretch_Layers<LOW>(s, n, &total->m);
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

/* The layers while the count goes on; returns 0 where a turn is too long
 * for single precision. */
static int Count_Layers(const Turns &tu, Radius *r, Unpacked k, Unpacked *total)
{
	uint64_t n = r->n;
	while (n < r->last) {
		if (n) {
			n = Stretch(tu, *r, n, k, total);
			if (n >= r->last)
				break;
		}
		if (!One_Layer(tu, n, k, total))
			return 0;
		n = Next(*r, n);
	}
	r->n = n;
	return 1;
}

static Unpacked Value(uint64_t n, int e)
{
	if (n == 0)
		return Pack(0, 0, 0);
	int zeros = Leading_Zeros(n);
	return Pack(0, e + 63 - zeros + BIAS, n << zeros);
}

static Unpacked Inches_Software(float r0, float R, float lw, float sw)
{
	typedef Unpacked X;
	const X k = Div(Of<X>(sw), Of<X>(lw)), two_pi = Two_Pi<X>(), outer = Of<X>(R), step = Of<X>(lw);
	X total = Of<X>(0.0f), r = Of<X>(r0);
	/* what the model's checks leave: no negative hub, and R, lw and k
	 * positive; anything else through the general operations */
	if ((Sign(r) && !Is_Zero(r)) || Sign(outer) || Sign(step) || !Normal(step) || Sign(k) || !Normal(k))
		return Layers_From(r, total, outer, step, k, two_pi);
	const Exact add = Exactly(step), end = Exactly(outer);
	const int trailing = Trailing_Zeros(two_pi.m);
	while (Above(outer, r)) {
		Radius c;
		if (Counted(r, add, end, &c)) {
			const Turns tu = {two_pi.m >> trailing, c.e, Exp(two_pi) - BIAS - 63 + trailing};
			if (!Count_Layers(tu, &c, k, &total))
				return Inf(0);
			r = Value(c.n, c.e);
			if (!Above(outer, r))
				break;
		}
		/* a layer where the count cannot go on: r leaves its binade, or r
		 * and the line hold bits too far apart */
		total = Layer(r, total, k, two_pi);
		r = Add(r, step);
	}
	return total;
}

double Layer_Yards_Software(float r0, float R, float lw, float sw) { return In_Yards(Inches_Software(r0, R, lw, sw)); }

Extended Layer_Inches_Software(float r0, float R, float lw, float sw) { return Repack(Inches_Software(r0, R, lw, sw)); }
