#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "capacity/capacity.h"

/* The software extended type against the x87 unit itself, where there is
 * one: random operands, every result compared bit for bit. */

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

bool Is_NaN(Extended x) { return (x.se & 0x7fff) == 0x7fff && x.m != TOP; }

bool Same(Extended a, Extended b)
{
	return (Is_NaN(a) && Is_NaN(b)) || (a.m == b.m && a.se == b.se);
}

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
		case 2: return {TOP | TOP >> 1, 0x7fff};                /* NaN */
		case 3: return {Bits() >> 1, 0};                         /* denormal */
		default: return {TOP, 1};                                /* smallest normal */
		}
	}

	std::mt19937 rng;
};

class ExtendedVsX87 : public testing::Test {
protected:
	void SetUp() override
	{
		if (!HAVE_X87)
			GTEST_SKIP() << "no x87 long double to compare with";
	}
};

struct Binary {
	const char *name;
	Extended (*soft)(Extended, Extended);
	long double (*native)(long double, long double);
};

const Binary binaries[] = {
	{"add", Ext_Add, [](long double a, long double b) { return a + b; }},
	{"mul", Ext_Mul, [](long double a, long double b) { return a * b; }},
	{"div", Ext_Div, [](long double a, long double b) { return a / b; }},
};

TEST_F(ExtendedVsX87, ArithmeticRoundsAsTheX87Unit)
{
	for (const Binary &op : binaries) {
		Operands pick(12345);
		long failures = 0;
		for (long i = 0; i < Count() && failures < 10; i++) {
			Extended a = pick.Any(), b = pick.Pair_Second(a);
			Extended soft = op.soft(a, b), native = Soft(op.native(Native(a), Native(b)));
			if (!Same(soft, native)) {
				ADD_FAILURE() << op.name << " " << Hex(a) << " " << Hex(b) << ": "
					<< Hex(soft) << ", x87 " << Hex(native);
				failures++;
			}
		}
	}
}

TEST_F(ExtendedVsX87, ComparisonAgrees)
{
	Operands pick(23456);
	long failures = 0;
	for (long i = 0; i < Count() && failures < 10; i++) {
		Extended a = pick.Any(), b = pick.Pair_Second(a);
		if (i % 16 == 0)
			b = a;
		if (Ext_Above(a, b) != (Native(a) > Native(b)) && ++failures)
			ADD_FAILURE() << "above " << Hex(a) << " " << Hex(b);
	}
}

TEST_F(ExtendedVsX87, NarrowingRoundsOnce)
{
	Operands pick(34567);
	long failures = 0;
	for (long i = 0; i < Count() && failures < 10; i++) {
		Extended x = pick.Any();
		float f = Ext_To_Float(x), nf = (float)Native(x);
		double d = Ext_To_Double(x), nd = (double)Native(x);
		bool float_ok = std::memcmp(&f, &nf, sizeof f) == 0 || (std::isnan(f) && std::isnan(nf));
		bool double_ok = std::memcmp(&d, &nd, sizeof d) == 0 || (std::isnan(d) && std::isnan(nd));
		if (!float_ok && ++failures)
			ADD_FAILURE() << "to float " << Hex(x) << ": " << std::hexfloat << f << ", x87 " << nf;
		if (!double_ok && ++failures)
			ADD_FAILURE() << "to double " << Hex(x) << ": " << std::hexfloat << d << ", x87 " << nd;
	}
}

TEST_F(ExtendedVsX87, WideningIsExact)
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
		if (!Same(Ext_From_Double(d), Soft(d)) && ++failures)
			ADD_FAILURE() << "from double " << std::hexfloat << d;
		if (!Same(Ext_From_Float(f), Soft(f)) && ++failures)
			ADD_FAILURE() << "from float " << std::hexfloat << f;
	}
}

/* The model as the x87 unit runs it, to check the software loop against. */
double X87_Yards(float r0, float R, float lw, float sw)
{
	long double k = (long double)sw / lw, total = 0, r = r0;
	while (R > r) {
		float c = (float)((long double)6.2832 * r);
		total += c * k;
		r += lw;
	}
	return (double)(total / 36);
}

TEST_F(ExtendedVsX87, ModelGivesTheSameBitsOnRandomSpools)
{
	std::mt19937 rng(56789);
	auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
	long failures = 0;
	for (int i = 0; i < 100000 && failures < 10; i++) {
		float R = (float)(uniform(0.25, 20) * 0.5f);
		float r0 = (float)(uniform(0, 2 * R) * 0.5f);
		/* up to a few thousand layers, down to the finest lines */
		float lw = (float)std::exp(uniform(std::log(std::fmax(R - r0, 1e-3f) / 3000), std::log(0.5)));
		float sw = (float)uniform(0.05, 30);
		double soft = Layer_Yards_Software(r0, R, lw, sw), x87 = X87_Yards(r0, R, lw, sw);
		if (std::memcmp(&soft, &x87, sizeof soft) != 0 && ++failures)
			ADD_FAILURE() << std::hexfloat << "r0 " << r0 << " R " << R << " lw " << lw << " sw " << sw
				<< ": " << soft << ", x87 " << x87;
	}
}

}
