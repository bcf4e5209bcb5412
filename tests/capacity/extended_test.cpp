#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>
#if MERRIVANE_MPFR
#include <mpfr.h>
#endif

#include "capacity/capacity.h"

/* The software extended type against two references: the x87 unit itself,
 * where the machine has one, and GNU MPFR set to the x87 format, which is
 * first held to the x87 unit and then stands in for it everywhere else.
 * Random operands and fixed corners, every result compared bit for bit,
 * NaNs included. */

namespace {

const bool HAVE_X87 = LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384;
const uint64_t TOP = 1ull << 63;

long Count()
{
	const char *n = std::getenv("MERRIVANE_DIFF_OPS");
	return n ? std::atol(n) : 10000000;
}

long double Native(Extended x)
{
	long double l = 0;
	std::memcpy(&l, &x, sizeof l < 10 ? sizeof l : 10);
	return l;
}

Extended Soft(long double l)
{
	Extended x{};
	std::memcpy(&x, &l, sizeof l < 10 ? sizeof l : 10);
	return x;
}

bool Same(Extended a, Extended b) { return a.m == b.m && a.se == b.se; }

std::string Hex(Extended x)
{
	char s[64];
	std::snprintf(s, sizeof s, "%04x:%016llx", x.se, (unsigned long long)x.m);
	return s;
}

/* Operands that reach the corners: exponents near each other (ties,
 * carries, cancellation), at the ends of the range, around the smallest
 * single and double; significands with few bits set so that exact ties
 * happen, all ones for carries, or a float's 24 bits. */
class Operands {
public:
	explicit Operands(uint32_t seed) : rng(seed) {}

	Extended Any()
	{
		Extended x{Significand(), 0};
		int e;
		switch (rng() % 8) {
		case 0: e = 16383 + (int)(rng() % 130) - 65; break;
		case 1: e = (int)(rng() % 0x7fff); break;
		case 2: e = (int)(rng() % 140); break;                    /* denormals and tiny */
		case 3: e = 0x7fff - 1 - (int)(rng() % 140); break;       /* huge */
		case 4: e = 16383 - 126 - 30 + (int)(rng() % 40); break; /* single subnormals */
		case 5: e = 16383 - 1022 - 60 + (int)(rng() % 70); break; /* double subnormals */
		case 6: e = 16383 + 100 + (int)(rng() % 60); break;       /* single overflow */
		default: e = 16383 + (int)(rng() % 8); break;
		}
		if (e == 0)
			x.m &= ~TOP;
		else
			x.m |= TOP;
		if (rng() % 64 == 0)
			return Special();
		x.se = (uint16_t)(e | (rng() % 2) << 15);
		return x;
	}

	/* b close to a: the same exponent or a neighbour, often the other sign */
	Extended Near(Extended a)
	{
		if ((a.se & 0x7fff) == 0 || (a.se & 0x7fff) >= 0x7ffe)
			return Any();
		Extended b = a;
		b.se = (uint16_t)(a.se + (int)(rng() % 3) - 1);
		b.m ^= rng() % 2 ? (uint64_t)(rng() % 1024) : Significand() >> (rng() % 64);
		if (b.se & 0x7fff)
			b.m |= TOP;
		else
			b.m &= ~TOP;
		if (rng() % 2)
			b.se ^= 0x8000;
		return b;
	}

	Extended Pair_Second(Extended a) { return rng() % 2 ? Near(a) : Any(); }

	uint64_t Bits() { return (uint64_t)rng() << 32 | rng(); }

private:
	uint64_t Significand()
	{
		uint64_t m = Bits();
		switch (rng() % 6) {
		case 0: return m & ~0ull << (rng() % 64);      /* low bits clear: ties */
		case 1: return ~0ull >> (rng() % 8);           /* all ones: carries */
		case 2: return m & 0xffffff0000000000ull;      /* a float's bits */
		case 3: return (m & ~0ull << 39) | 1ull << 39; /* exactly half a float ulp */
		default: return m;
		}
	}

	Extended Special()
	{
		switch (rng() % 5) {
		case 0: return {0, (uint16_t)((rng() % 2) << 15)};      /* zero */
		case 1: return {TOP, (uint16_t)(0x7fff | (rng() % 2) << 15)}; /* inf */
		case 2: /* NaN, quiet or signalling, either sign, any payload */
			return {TOP | (Bits() >> (1 + rng() % 2) | 1), (uint16_t)(0x7fff | (rng() % 2) << 15)};
		case 3: return {Bits() >> 1, 0};                         /* denormal */
		default: return {TOP, 1};                                /* smallest normal */
		}
	}

	std::mt19937 rng;
};

/* The operations a reference gives for the software type to match. */
struct Reference {
	const char *name;
	Extended (*add)(Extended, Extended);
	Extended (*mul)(Extended, Extended);
	Extended (*div)(Extended, Extended);
	int (*above)(Extended, Extended);
	float (*to_float)(Extended);
	double (*to_double)(Extended);
	Extended (*from_float)(float);
	Extended (*from_double)(double);
};

const Reference SOFTWARE = {"software", Ext_Add, Ext_Mul, Ext_Div, Ext_Above, Ext_To_Float, Ext_To_Double,
	Ext_From_Float, Ext_From_Double};

const Reference X87 = {"x87",
	[](Extended a, Extended b) { return Soft(Native(a) + Native(b)); },
	[](Extended a, Extended b) { return Soft(Native(a) * Native(b)); },
	[](Extended a, Extended b) { return Soft(Native(a) / Native(b)); },
	[](Extended a, Extended b) { return (int)(Native(a) > Native(b)); },
	[](Extended x) { return (float)Native(x); },
	[](Extended x) { return (double)Native(x); },
	[](float f) { return Soft(f); },
	[](double d) { return Soft(d); }};

#if MERRIVANE_MPFR
/* GNU MPFR in the x87 format: 64-bit significands, exponents down to the
 * smallest denormal (2^-16445, which MPFR writes 0.1 x 2^-16444) and up to
 * 2^16384, gradual underflow through mpfr_subnormalize, round to nearest
 * even. MPFR keeps no NaN payload, so NaNs follow the x87 unit's rules
 * here: a quiet operand over a signalling one, else the larger
 * significand, else the positive one, made quiet. */
namespace mpfr {

const int PREC = 64;

bool Is_NaN(Extended x) { return (x.se & 0x7fff) == 0x7fff && x.m != TOP; }

struct Number {
	mpfr_t v;
	Number() { mpfr_init2(v, PREC); }
	~Number() { mpfr_clear(v); }
	Number(const Number &) = delete;
	Number &operator=(const Number &) = delete;
};

void Format(mpfr_exp_t emin, mpfr_exp_t emax)
{
	mpfr_set_emin(emin);
	mpfr_set_emax(emax);
}

void X87_Format() { Format(-16444, 16384); }

void Set(Number &n, Extended x)
{
	int negative = x.se >> 15, e = x.se & 0x7fff;
	if (e == 0x7fff)
		mpfr_set_inf(n.v, negative ? -1 : 1);
	else if (e == 0 && x.m == 0)
		mpfr_set_zero(n.v, negative ? -1 : 1);
	else
		mpfr_set_uj_2exp(n.v, x.m, (e ? e : 1) - 16383 - 63, MPFR_RNDN);
	if (negative && e != 0x7fff && !(e == 0 && x.m == 0))
		mpfr_neg(n.v, n.v, MPFR_RNDN);
}

Extended Get(const Number &n)
{
	if (mpfr_nan_p(n.v))
		return {TOP | TOP >> 1, 0xffff}; /* the invalid operation's NaN */
	uint16_t sign = mpfr_signbit(n.v) ? 0x8000 : 0;
	if (mpfr_inf_p(n.v))
		return {TOP, (uint16_t)(sign | 0x7fff)};
	if (mpfr_zero_p(n.v))
		return {0, sign};
	long e = (long)mpfr_get_exp(n.v) - 1 + 16383;
	static Number m;
	/* the significand as an integer: 64 bits, or fewer for a denormal */
	mpfr_mul_2si(m.v, n.v, e >= 1 ? 64 - mpfr_get_exp(n.v) : 16382 + 63, MPFR_RNDN);
	mpfr_abs(m.v, m.v, MPFR_RNDN);
	return {(uint64_t)mpfr_get_uj(m.v, MPFR_RNDN), (uint16_t)(sign | (e >= 1 ? e : 0))};
}

Extended NaN_Of(Extended a, Extended b)
{
	Extended n = a;
	if (!Is_NaN(a)) {
		n = b;
	} else if (Is_NaN(b)) {
		bool qa = a.m >> 62 & 1, qb = b.m >> 62 & 1;
		if (qb != qa ? qb : b.m != a.m ? b.m > a.m : b.se < a.se)
			n = b;
	}
	n.m |= TOP >> 1;
	return n;
}

Extended Op(int (*op)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t), Extended a, Extended b)
{
	if (Is_NaN(a) || Is_NaN(b))
		return NaN_Of(a, b);
	X87_Format();
	/* made once: a million operations under qemu otherwise spend much of
	 * their time making and freeing numbers */
	static Number x, y, r;
	Set(x, a);
	Set(y, b);
	int inexact = op(r.v, x.v, y.v, MPFR_RNDN);
	mpfr_subnormalize(r.v, inexact, MPFR_RNDN);
	return Get(r);
}

/* x rounded once to a binary format of prec bits and the given range */
template <class F>
F Narrow(Extended x, int prec, mpfr_exp_t emin, mpfr_exp_t emax, F (*get)(mpfr_srcptr, mpfr_rnd_t))
{
	X87_Format();
	Number n;
	Set(n, x);
	mpfr_t t;
	mpfr_init2(t, prec);
	Format(emin, emax);
	int inexact = mpfr_set(t, n.v, MPFR_RNDN);
	inexact = mpfr_check_range(t, inexact, MPFR_RNDN);
	mpfr_subnormalize(t, inexact, MPFR_RNDN);
	F f = get(t, MPFR_RNDN);
	mpfr_clear(t);
	return f;
}

/* a NaN of the narrower format: the payload's top bits, made quiet */
template <class F, class Bits>
F Narrow_NaN(Extended x, int fraction_bits, Bits inf)
{
	Bits sign = (Bits)(x.se >> 15) << (sizeof(Bits) * 8 - 1);
	Bits bits = sign | inf | (Bits)1 << (fraction_bits - 1) | (Bits)(x.m << 1 >> (64 - fraction_bits));
	F f;
	std::memcpy(&f, &bits, sizeof f);
	return f;
}

template <class F, class Bits>
Extended Widen(F f, int fraction_bits)
{
	Bits bits;
	std::memcpy(&bits, &f, sizeof bits);
	if (std::isnan(f)) {
		uint64_t payload = (uint64_t)(bits & (((Bits)1 << fraction_bits) - 1)) << (63 - fraction_bits);
		return {TOP | TOP >> 1 | payload, (uint16_t)(0x7fff | (std::signbit(f) ? 0x8000 : 0))};
	}
	X87_Format();
	Number n;
	mpfr_set_d(n.v, (double)f, MPFR_RNDN); /* exact: every float is a double */
	return Get(n);
}

const Reference REFERENCE = {"mpfr",
	[](Extended a, Extended b) { return Op(mpfr_add, a, b); },
	[](Extended a, Extended b) { return Op(mpfr_mul, a, b); },
	[](Extended a, Extended b) { return Op(mpfr_div, a, b); },
	[](Extended a, Extended b) {
		if (Is_NaN(a) || Is_NaN(b))
			return 0;
		X87_Format();
		Number x, y;
		Set(x, a);
		Set(y, b);
		return mpfr_greater_p(x.v, y.v);
	},
	[](Extended x) {
		return Is_NaN(x) ? Narrow_NaN<float, uint32_t>(x, 23, 0x7f800000u)
				 : Narrow<float>(x, 24, -148, 128, mpfr_get_flt);
	},
	[](Extended x) {
		return Is_NaN(x) ? Narrow_NaN<double, uint64_t>(x, 52, 0x7ff0000000000000ull)
				 : Narrow<double>(x, 53, -1073, 1024, mpfr_get_d);
	},
	[](float f) { return Widen<float, uint32_t>(f, 23); },
	[](double d) { return Widen<double, uint64_t>(d, 52); }};

}
#endif

/* A candidate held to a reference. The software type is held to the x87
 * unit where there is one; MPFR is held to the x87 unit there too, and
 * stands in for it on every other machine. */
struct Pairing {
	const char *name;
	const Reference *candidate, *reference;
};

const Pairing pairings[] = {
	{"software_vs_x87", &SOFTWARE, &X87},
#if MERRIVANE_MPFR
	{"mpfr_vs_x87", &mpfr::REFERENCE, &X87},
	{"software_vs_mpfr", &SOFTWARE, &mpfr::REFERENCE},
#endif
};

class ExtendedVs : public testing::TestWithParam<Pairing> {
protected:
	const Reference &got = *GetParam().candidate, &want = *GetParam().reference;

	void SetUp() override
	{
		bool x87 = GetParam().reference == &X87;
		if (x87 && !HAVE_X87)
			GTEST_SKIP() << "no x87 unit to compare with";
		/* where the x87 unit checks both, this pairing adds nothing */
		if (!x87 && HAVE_X87)
			GTEST_SKIP() << "held to the x87 unit instead";
	}
};

struct Binary {
	const char *name;
	Extended (*Reference::*op)(Extended, Extended);
};

const Binary binaries[] = {{"add", &Reference::add}, {"mul", &Reference::mul}, {"div", &Reference::div}};

TEST_P(ExtendedVs, ArithmeticRoundsAsTheX87Unit)
{
	for (const Binary &op : binaries) {
		Operands pick(12345);
		long failures = 0;
		for (long i = 0; i < Count() && failures < 10; i++) {
			Extended a = pick.Any(), b = pick.Pair_Second(a);
			Extended g = (got.*op.op)(a, b), w = (want.*op.op)(a, b);
			if (!Same(g, w)) {
				ADD_FAILURE() << op.name << " " << Hex(a) << " " << Hex(b) << ": " << got.name << " "
					<< Hex(g) << ", " << want.name << " " << Hex(w);
				failures++;
			}
		}
	}
}

/* Corners random operands seldom reach. */
TEST_P(ExtendedVs, FixedCorners)
{
	const Extended QUIET_NAN = {TOP | TOP >> 1 | 5, 0x7fff}, LOUD_NAN = {TOP | 5, 0x7fff}; /* signalling */
	auto negative = [](Extended x) { return Extended{x.m, (uint16_t)(x.se ^ 0x8000)}; };
	const struct {
		const char *what;
		Extended a, b;
	} corners[] = {
		{"carry out of the largest binade", {~0ull, 0x7ffe}, {TOP, 0x7ffe - 64}},
		{"carry out of the largest binade, other way", {TOP, 0x7ffe - 64}, {~0ull, 0x7ffe}},
		{"carry out of the denormals", {~0ull >> 1, 0}, {1, 0}},
		{"product rounded up out of the denormals", {~0ull, 0x3ffe}, {TOP, 1}},
		{"quiet NaN and signalling NaN", QUIET_NAN, LOUD_NAN},
		{"signalling NaN and quiet NaN", LOUD_NAN, QUIET_NAN},
		{"NaNs differing in sign only", QUIET_NAN, negative(QUIET_NAN)},
		{"NaNs differing in sign only, other way", negative(QUIET_NAN), QUIET_NAN},
		{"signalling NaN and a number", LOUD_NAN, {TOP, 0x3fff}},
		{"a number and a negative quiet NaN", {TOP, 0x3fff}, negative(QUIET_NAN)},
		{"infinity minus infinity", {TOP, 0x7fff}, {TOP, 0xffff}},
		{"zero and infinity", {0, 0}, {TOP, 0x7fff}},
	};
	for (const auto &c : corners)
		for (const Binary &op : binaries) {
			Extended g = (got.*op.op)(c.a, c.b), w = (want.*op.op)(c.a, c.b);
			EXPECT_TRUE(Same(g, w)) << c.what << ", " << op.name << ": " << got.name << " " << Hex(g) << ", "
						<< want.name << " " << Hex(w);
		}
	EXPECT_TRUE(Same({TOP, 0x7fff}, got.add({~0ull, 0x7ffe}, {TOP, 0x7ffe - 64})));
	EXPECT_TRUE(Same({TOP, 1}, got.mul({~0ull, 0x3ffe}, {TOP, 1})));
}

TEST_P(ExtendedVs, ComparisonAgrees)
{
	Operands pick(23456);
	long failures = 0;
	for (long i = 0; i < Count() && failures < 10; i++) {
		Extended a = pick.Any(), b = pick.Pair_Second(a);
		if (i % 16 == 0)
			b = a;
		if (got.above(a, b) != want.above(a, b) && ++failures)
			ADD_FAILURE() << "above " << Hex(a) << " " << Hex(b);
	}
}

TEST_P(ExtendedVs, NarrowingRoundsOnce)
{
	Operands pick(34567);
	long failures = 0;
	for (long i = 0; i < Count() && failures < 10; i++) {
		Extended x = pick.Any();
		float f = got.to_float(x), wf = want.to_float(x);
		double d = got.to_double(x), wd = want.to_double(x);
		if (std::memcmp(&f, &wf, sizeof f) != 0 && ++failures)
			ADD_FAILURE() << "to float " << Hex(x) << ": " << std::hexfloat << f << ", " << want.name << " " << wf;
		if (std::memcmp(&d, &wd, sizeof d) != 0 && ++failures)
			ADD_FAILURE() << "to double " << Hex(x) << ": " << std::hexfloat << d << ", " << want.name << " " << wd;
	}
}

TEST_P(ExtendedVs, WideningIsExact)
{
	Operands pick(45678);
	long failures = 0;
	for (long i = 0; i < Count() && failures < 10; i++) {
		uint64_t bits = pick.Bits();
		uint32_t fbits = (uint32_t)bits;
		double d;
		float f;
		std::memcpy(&d, &bits, sizeof d);
		std::memcpy(&f, &fbits, sizeof f);
		if (!Same(got.from_double(d), want.from_double(d)) && ++failures)
			ADD_FAILURE() << "from double " << Hex(want.from_double(d)) << ", " << Hex(got.from_double(d));
		if (!Same(got.from_float(f), want.from_float(f)) && ++failures)
			ADD_FAILURE() << "from float " << Hex(want.from_float(f)) << ", " << Hex(got.from_float(f));
	}
}

/* The model on a reference's operations, to check the software loop against. */
Extended Reference_Inches(const Reference &x, float r0, float R, float lw, float sw)
{
	Extended k = x.div(x.from_float(sw), x.from_float(lw)), total = x.from_float(0), r = x.from_float(r0);
	Extended outer = x.from_float(R), step = x.from_float(lw), two_pi = x.from_double(6.2832);
	while (x.above(outer, r)) {
		float c = x.to_float(x.mul(two_pi, r));
		total = x.add(total, x.mul(x.from_float(c), k));
		r = x.add(r, step);
	}
	return total;
}

double In_Yards(const Reference &x, Extended inches) { return x.to_double(x.div(inches, x.from_float(36))); }

TEST_P(ExtendedVs, ModelGivesTheSameBitsOnRandomSpools)
{
	std::mt19937 rng(56789);
	auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
	/* a hundredth of the operations' count where the x87 unit and the
	 * software type run the model, a thousandth with MPFR, which is slower */
	long spools = &got == &SOFTWARE && &want == &X87 ? Count() / 100 : Count() / 1000;
	long failures = 0;
	for (long i = 0; i < spools && failures < 10; i++) {
		float R = (float)(uniform(0.25, 20) * 0.5f);
		float r0 = (float)(uniform(0, 2 * R) * 0.5f);
		/* up to a few thousand layers, down to the finest lines */
		float lw = (float)std::exp(uniform(std::log(std::fmax(R - r0, 1e-3f) / 3000), std::log(0.5)));
		float sw = (float)uniform(0.05, 30);
		/* every other spool moved by up to 30 orders of magnitude, and its
		 * width by as many again: exponents towards the ends of the range */
		if (i % 2) {
			float scale = (float)std::exp(uniform(-69, 69));
			R *= scale, r0 *= scale, lw *= scale, sw *= (float)std::exp(uniform(-69, 69));
		}
		Extended inches = Reference_Inches(got, r0, R, lw, sw);
		double g = In_Yards(got, inches), w = In_Yards(want, Reference_Inches(want, r0, R, lw, sw));
		if (std::memcmp(&g, &w, sizeof g) != 0 && ++failures)
			ADD_FAILURE() << std::hexfloat << "r0 " << r0 << " R " << R << " lw " << lw << " sw " << sw
				<< ": " << got.name << " " << g << ", " << want.name << " " << w;
		if (&got == &SOFTWARE) {
			/* the total itself, which yards, 11 bits shorter, would mostly hide */
			Extended loop = Layer_Inches_Software(r0, R, lw, sw);
			if (!Same(loop, inches) && ++failures)
				ADD_FAILURE() << std::hexfloat << "r0 " << r0 << " R " << R << " lw " << lw << " sw " << sw
					<< ": software loop " << Hex(loop) << ", its operations " << Hex(inches);
		}
	}
}

/* Where the software loop leaves its common path: the layer loop's bits
 * all the same. */
TEST_P(ExtendedVs, SoftwareLoopAtItsEdges)
{
	if (&got != &SOFTWARE)
		GTEST_SKIP() << "the software loop only";
	struct {
		const char *what;
		float r0, R, lw, sw;
	} const rows[] = {
		{"no hub: the first turn is 0", 0, 2, 0.5f, 2},
		{"a hub of -0, and lines so thick the radius is counted in them", -0.0f, 0x1p+106f, 0x1p+103f, 1},
		{"turns below single's normal range", 1e-40f, 1e-39f, 1e-41f, 1},
		{"a turn beyond single precision", 1e38f, 1.0001e38f, 1e34f, 1},
		{"turns growing beyond single precision", 5.4e37f, 5.5e37f, 1e33f, 1},
		/* r0 = (2^24 - 1) 2^-20 in units of lw's last place, 2^-60, is
		 * 2^64 - 2^40: exact for 2^17 layers of three times as many */
		{"the radius leaving 64 bits mid-spool", 0x0.ffffffp+4f, 0x1.000002p+4f, 0x1.000002p-37f, 3},
		{"the radius never within 64 bits", 0x1.fffffep+23f, 0x1p+24f, 0x1.000002p-18f, 3},
		/* found by search: at the sixth layer 6.2832 r, rounded to 64 bits,
		 * comes onto a tie between two singles, from below, then from above */
		{"6.2832 r rounded twice, up to a tie that goes up", 0x1.c120ap-1f, 0x1.c120d8p-1f, 0x1.5d09ecp-22f, 1},
		{"6.2832 r rounded twice, down to a tie that goes down", 0x1.c00eep-1f, 0x1.c00f68p-1f, 0x1.ae84f6p-21f, 1},
		/* k's significand ends in 20 zeros, so a turn times k often ties,
		 * here early enough for it to show in the total */
		{"turn times k halfway between two 64-bit significands", 0x1.09p-2f, 0x1.66c63p-1f, 0x1.6a09e6p-7f, 0x1.306c56p+0f},
		{"k a power of two: its products never reach 2", 0.5f, 20, 0x1.47ae14p-7f, 0x1.47ae14p-4f},
		/* long stretches, and totals crossing many binades */
		{"a fine line from a bare hub", 0, 1, 5e-4f, 1},
		{"a fine line on a wide hub", 100, 100.2f, 1e-4f, 3},
		{"spools of atoms", 1e-30f, 1.2e-30f, 1e-34f, 1e-3f},
		{"spools of stars", 1e30f, 1.00002e30f, 1e22f, 1e25f},
		/* a hub far below the line's last place: counted from the
		 * second layer, where its bits have been rounded away */
		{"a hub far below the line", 1e-30f, 100, 1, 1},
		/* r holds 64 bits and lw two below its last place: every
		 * step rounds up (the tie above is the radius never within 64 bits) */
		{"the radius rounded up at its last place each layer", 0x1.fffffep-1f, 1, 0x1.fffffep-43f, 1},
		/* and one below: a tie, rounded to even; found by search where
		 * rounding every tie up, or none, moves the last layer past R */
		{"ties at r's last place, rounded to even", 0x1.ae9aa4p+23f, 0x1.ae9aa6p+23f, 0x1.0826e6p-18f, 1},
		{"ties at r's last place, rounded to even from an odd step", 0x1.933952p+23f, 0x1.933954p+23f, 0x1.038682p-18f, 1},
		{"ties at r's last place from an odd count, past a binade", 0x1.fffffcp+22f, 0x1.000002p+23f, 0x1.0c41fap-18f, 1},
		/* 6.2832 r from below 2^-126 to above it, and a third of the
		 * turns rounded up to 1 while 6.2832 r is still below it */
		{"subnormal turns into normal ones", 0, 0x1.8p-129f, 0x1.8p-140f, 1},
		{"turns rounded up to the next power of two", 0x1.45f2d4p-3f, 0x1.45f2d6p-3f, 0x1p-36f, 1},
		/* each catches one change to the 128-bit addition, the rounded
		 * product, the bound on turn times k below 2, the turn's
		 * exponent range and its rounding */
		{"a carry into the low word's top", 0, 0x1.c42b72p-12f, 0x1p-33f, 0x1.8p-40f},
		{"a carry out of the low word", 0x1.45f2d4p-77f, 0x1.45f4p-77f, 0x1.d458ep-109f, 0x1.051c5ep+43f},
		{"a carry out of 128 bits", 0x1.1e31d8p-68f, 0x1.45fa34p-27f, 0x1.8d2aecp-45f, 0x1.cp-20f},
		{"a product rounded up out of its significand", 0x1.b9276p+114f, 0x1.b92816p+114f, 0x1.03dcb8p+90f, 0x1.8p-33f},
		{"turn times k exactly at the bound below 2", 0x1.3bb952p-20f, 0x1.3bba24p-20f, 0x1.eff08p-47f, 0x1p-26f},
		{"turn times k one place below the bound", 0x1.45f26ap-53f, 0x1.45f29cp-53f, 0x1.ffff96p-79f, 0x1p+16f},
		{"turns at the edge of single's range", 0x1.898p+78f, 0x1.596802p+125f, 0x1.8acp+122f, 0x1.000018p+34f},
		{"a turn rounded to a tie at a stretch's end", 0x1.c120d6p+24f, 0x1.c120d8p+24f, 0x1p-19f, 0x1.59c6e2p+0f},
	};
	/* without the x87 unit, the software type's own operations, which the
	 * tests above hold to MPFR, which is fifty times slower still */
	const Reference &oracle = &want == &X87 ? want : got;
	for (const auto &r : rows) {
		Extended loop = Layer_Inches_Software(r.r0, r.R, r.lw, r.sw), w = Reference_Inches(oracle, r.r0, r.R, r.lw, r.sw);
		EXPECT_TRUE(Same(loop, w)) << r.what << ": software loop " << Hex(loop) << ", " << oracle.name << " " << Hex(w);
	}
}

INSTANTIATE_TEST_SUITE_P(Oracles, ExtendedVs, testing::ValuesIn(pairings),
	[](const testing::TestParamInfo<Pairing> &info) { return std::string(info.param.name); });

}
