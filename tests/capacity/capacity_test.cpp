#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "capacity/capacity.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

struct Spool {
	const char *what;
	double sw, od, id, lw;
	double yards;  /* exact, as the layer model gives it */
	double shown;  /* the published figure, to its own digits */
};

/* The exact values are pinned bit for bit; the published figures check
 * them independently to the digits they were given with. */
const Spool spools[] = {
	{"five layers", 1, 2, 1, 0.1, 0x1.86f4649e42e6ep+2, 6.10867},
	{"113 layers", 3.5, 6, 1.5, 0.02, 0x1.9361ca068f567p+12, 6454.1118},
	{"26 layers since single 0.02 is below 0.02", 1, 2, 1, 0.02, 0x1.54570a5fa0a3ep+7, 170.1700},
	{"20 layers since single 0.025 is above 0.025", 1, 2, 1, 0.025, 0x1.9be60eb578437p+6, 102.9747},
	{"hub 0, first layer holds nothing", 2, 4, 0, 0.5, 0x1.0c154c38e38e4p+1, 2.0944},
	{"line width already single", 1, 2, 1, (float)0.02, 0x1.54570a5fa0a3ep+7, 170.1700},
	{"outer equal to hub", 1, 2, 2, 0.1, 0, 0},
	{"outer below hub", 1, 1, 2, 0.1, 0, 0},
	{"diameters beyond single, their radii within", 1, 4e38, 5e38, 1, 0, 0},
	{"negative zero hub", 2, 4, -0.0, 0.5, 0x1.0c154c38e38e4p+1, 2.0944},
	{"hub 0 in single is no hub", 2, 4, 1e-46, 0.5, 0x1.0c154c38e38e4p+1, 2.0944},
	/* the layer estimate is just within the bound in double; rounded
	 * through extended precision first (x87 double arithmetic) it is not */
	{"at the bound only in double", 1, 8007514, 6.103515261202119e-05, 1.0009392499923706,
	 0x1.4517ffde4aa7dp+40, 1396267015754.6555},
};

/* Test names from the descriptions, so they stay the same across builds
 * and can be picked with ctest -R. */
template <class Case>
std::string Case_Name(const testing::TestParamInfo<Case> &info)
{
	std::string name;
	for (const char *p = info.param.what; *p; p++)
		name += std::isalnum((unsigned char)*p) ? *p : '_';
	return name;
}

class SpoolCapacity : public testing::TestWithParam<Spool> {};

TEST_P(SpoolCapacity, MatchesLayerModel)
{
	const Spool &s = GetParam();
	double yards = -1;

	ASSERT_EQ(1, Spool_Capacity(s.sw, s.od, s.id, s.lw, &yards)) << s.what;
	EXPECT_EQ(s.yards, yards) << s.what << ": got " << std::hexfloat << yards;
	EXPECT_NEAR(s.shown, yards, 5e-5) << s.what;

	double software = -1;
	ASSERT_EQ(1, Spool_Capacity_Software(s.sw, s.od, s.id, s.lw, &software)) << s.what;
	EXPECT_EQ(s.yards, software) << s.what << ": software type gives " << std::hexfloat << software;
}

INSTANTIATE_TEST_SUITE_P(Capacity, SpoolCapacity, testing::ValuesIn(spools), Case_Name<Spool>);

struct Refusal {
	const char *what;
	double sw, od, id, lw;
};

const Refusal refusals[] = {
	{"spool width 0", 0, 2, 1, 0.1},
	{"spool width negative", -1, 2, 1, 0.1},
	{"outer diameter 0", 1, 0, 1, 0.1},
	{"outer diameter negative", 1, -2, 1, 0.1},
	{"hub negative", 1, 2, -0.5, 0.1},
	{"line width 0", 1, 2, 1, 0},
	{"line width negative", 1, 2, 1, -0.1},
	{"line width rounds to 0 in single", 1, 2, 1, 1e-46},
	{"line width rounds to 0 in single, outer below hub", 1, 1, 2, 1e-46},
	{"spool width rounds to 0 in single", 1e-46, 2, 1, 0.1},
	{"outer diameter rounds to 0 in single", 1, 1e-46, 0, 1},
	{"line width beyond single", 1, 2, 1, 1e39},
	{"hub beyond single", 1, 2, 1e39, 0.1},
	{"line width too fine for extended steps", 1, 2, 1, 1e-30},
	{"spool width beyond single", 1e39, 2, 1, 0.1},
	{"spool width beyond single, outer below hub", 1e39, 1, 2, 0.1},
	{"outer diameter beyond single", 1, 1e39, 1, 0.1},
	{"outer diameter infinite", 1, Inf, 1, 0.1},
	{"spool width infinite", Inf, 2, 1, 0.1},
	{"spool width NaN", NaN, 2, 1, 0.1},
	{"outer diameter NaN", 1, NaN, 1, 0.1},
	{"hub NaN", 1, 2, NaN, 0.1},
	{"line width NaN", 1, 2, 1, NaN},
	{"turn length overflows single", 1, 6e38, 5.9e38, 1e37},
	{"infinite line on a huge hub gives no number", 1, 6e38, 5.9e38, 1e39},
	{"widest single spool, finest single line", FLT_MAX, FLT_MAX, 0, FLT_TRUE_MIN},
	{"one layer past the bound", 1, 2 * MAX_LAYERS + 2, 0, 1},
};

class SpoolRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(SpoolRefusal, LeavesYardsUntouched)
{
	const Refusal &r = GetParam();
	double yards = 123.25;

	EXPECT_EQ(0, Spool_Capacity(r.sw, r.od, r.id, r.lw, &yards)) << r.what;
	EXPECT_EQ(0, Spool_Capacity_Software(r.sw, r.od, r.id, r.lw, &yards)) << r.what;
	EXPECT_EQ(123.25, yards) << r.what;
}

INSTANTIATE_TEST_SUITE_P(Capacity, SpoolRefusal, testing::ValuesIn(refusals), Case_Name<Refusal>);

/* Whatever precision the x87 unit was left at (Windows starts threads at
 * 53 bits; other code in the process may change it), the same bits. */
TEST(Capacity, PrecisionControlChangesNoDigit)
{
	for (int bits : {24, 53, 64})
		for (const Spool &s : spools) {
			double yards = -1;
			unsigned saved = X87_Precision(bits);
			unsigned before = X87_Precision(bits); /* the control word with bits in force */
			/* its precision field, bits 8 and 9; 0 where there is no x87 unit */
			unsigned field = bits == 64 ? 0x300 : bits == 53 ? 0x200 : 0;
			/* an emulator's unit may keep no precision control at all */
			if (X87_Chosen()) {
				EXPECT_EQ(before ? field : 0, before & 0x300) << "precision set for " << bits << " bits";
			}
			int accepted = Spool_Capacity(s.sw, s.od, s.id, s.lw, &yards);
			unsigned after = X87_Precision(bits);
			X87_Restore(saved);
			EXPECT_EQ(1, accepted) << s.what << " at " << bits << " bits";
			EXPECT_EQ(s.yards, yards) << s.what << " at " << bits << " bits: " << std::hexfloat << yards;
			EXPECT_EQ(before, after) << "precision left changed by " << s.what;
		}
}

TEST(Capacity, ComputesEveryLayerUpToTheBound)
{
	double yards = 0;

	ASSERT_EQ(1, Spool_Capacity(1, 2 * MAX_LAYERS, 0, 1, &yards));
	/* layers at radii 0 .. MAX_LAYERS-1, one turn each */
	EXPECT_NEAR(6.2832 * MAX_LAYERS * (MAX_LAYERS - 1) / 2 / 36, yards, yards * 1e-6);
}

TEST(Capacity, ComputesAMillionLayers)
{
	double yards = 0;

	ASSERT_EQ(1, Spool_Capacity(1, 2001, 1, 0.001, &yards));
	/* 1000 turns a layer at radii 0.5 + 0.001 n, n < 1e6 */
	EXPECT_NEAR(6.2832 * 1000 * (1e6 * 0.5 + 0.001 * 1e6 * (1e6 - 1) / 2) / 36, yards, yards * 1e-6);
}

/* The x87 unit runs the model only where it is a real one; the emulator
 * tests say so with MERRIVANE_X87_EMULATED. */
TEST(Capacity, ChoosesTheX87UnitOnlyWhereItIsReal)
{
	EXPECT_EQ(NATIVE_EXTENDED && !std::getenv("MERRIVANE_X87_EMULATED"), X87_Chosen());
	struct {
		int exact;
		unsigned machine;
		int chosen;
	} const rows[] = {
		{1, 0, 1},       /* not Windows */
		{1, 0x8664, 1},  /* x64 Windows */
		{1, 0xaa64, 0},  /* x64 program on ARM64 Windows, exact mode or not */
		{0, 0x8664, 0},  /* an emulator in doubles */
	};
	for (const auto &r : rows)
		EXPECT_EQ(r.chosen, Choose_X87(r.exact, r.machine)) << r.exact << " " << std::hex << r.machine;
}

/* Spools whose bits differ where the x87 unit rounds to 53 bits. */
TEST(Capacity, RandomSpoolsGiveTheSoftwareTypesBits)
{
	std::mt19937 rng(2026);
	auto uniform = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
	for (int i = 0; i < 300; i++) {
		double od = uniform(0.5, 40), id = uniform(0, od), sw = uniform(0.1, 30);
		double lw = std::exp(uniform(std::log(std::fmax(od - id, 0.01) / 4000), std::log(0.5)));
		double model = -1, software = -2;
		ASSERT_EQ(Spool_Capacity_Software(sw, od, id, lw, &software), Spool_Capacity(sw, od, id, lw, &model));
		EXPECT_EQ(software, model) << std::hexfloat << sw << " " << od << " " << id << " " << lw;
	}
}

}
