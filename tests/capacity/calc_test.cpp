#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <gtest/gtest.h>

#include "capacity/capacity.h"
#include "ui/ui.h"

namespace {

struct Refusal {
	const char *what;
	double sw, od, id, lw;
};

class Calc : public testing::Test {
protected:
	static void SetUpTestSuite() { if (!Win1) make_window(); }
	void SetUp() override { CAP->value(0); }

	static void Enter(double sw, double od, double id, double lw)
	{
		SW->value(sw);
		OD->value(od);
		ID->value(id);
		LW->value(lw);
		calc();
	}
};

TEST_F(Calc, WritesCapacityFromTheFields)
{
	Enter(1, 2, 1, 0.1);
	EXPECT_EQ(0x1.86f4649e42e6ep+2, CAP->value());

	char shown[128];
	CAP->format(shown);
	EXPECT_STREQ("6.1", shown);
}

TEST_F(Calc, RefusedInputKeepsShownCapacity)
{
	const Refusal cases[] = {
		{"line width cleared", 1, 2, 1, 0},
		{"spool width cleared", 0, 2, 1, 0.1},
		{"outer diameter cleared", 1, 0, 1, 0.1},
		{"hub negative", 1, 2, -1, 0.1},
		{"line width far too fine", 1, 2, 1, 1e-30},
	};
	for (const Refusal &r : cases) {
		Enter(1, 2, 1, 0.1);
		Enter(r.sw, r.od, r.id, r.lw);
		EXPECT_EQ(0x1.86f4649e42e6ep+2, CAP->value()) << r.what;
	}
}

TEST_F(Calc, HubBackToZeroComputesAgain)
{
	Enter(2, 4, -1, 0.5);
	EXPECT_EQ(0, CAP->value());
	Enter(2, 4, 0, 0.5);
	EXPECT_EQ(0x1.0c154c38e38e4p+1, CAP->value());
}

}
