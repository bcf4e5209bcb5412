#include <cmath>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <gtest/gtest.h>

#include "ui/ui.h"
#include "driver.h"

namespace {

/* The main window on a real X server, typed into through xdotool. */
class Window : public testing::Test {
protected:
	static void SetUpTestSuite()
	{
		make_window();
		Show_Mapped(Win1);
	}

	/* Replaces the text of field o with the keys given (keysym names). */
	static void Type(Fl_Widget *o, const std::string &keys)
	{
		ASSERT_EQ(0, Click(o));
		ASSERT_EQ(0, Xdo(Win1, "key ctrl+a " + keys));
	}

	static void Type_Spool()
	{
		Type(SW, "1");
		Type(OD, "2");
		Type(ID, "1");
		Type(LW, "0 period");
		ASSERT_TRUE(Poll([] { return LW->value() == 0; }));
		ASSERT_EQ(0, Xdo(Win1, "key 1"));
		ASSERT_TRUE(Poll([] { return Shown(CAP) == "6.1"; })) << Shown(CAP);
	}
};

TEST_F(Window, ShowsCapacityAsTheLastKeyIsTyped)
{
	EXPECT_EQ("0", Shown(SW));
	EXPECT_EQ("0.0", Shown(CAP));
	Type(SW, "1");
	Type(OD, "2");
	Type(ID, "1");
	Type(LW, "0 period");
	ASSERT_TRUE(Poll([] { return LW->value() == 0; }));
	EXPECT_EQ("0.0", Shown(CAP));
	ASSERT_EQ(0, Xdo(Win1, "key 1"));
	EXPECT_EQ("6.1", Shown(CAP));
	EXPECT_DOUBLE_EQ(0.1, LW->value());
}

TEST_F(Window, ClearingLineWidthKeepsCapacity)
{
	Type_Spool();
	Type(LW, "BackSpace");
	ASSERT_TRUE(Poll([] { return LW->value() == 0; }));
	EXPECT_EQ("6.1", Shown(CAP));
}

/* Typed behind a minus sign, so no prefix of the number is accepted, then
 * the sign is deleted: only the unusable value itself reaches the model. */
TEST_F(Window, UnusableTypedValuesKeepCapacity)
{
	struct {
		Fl_Value_Input *field;
		const char *keys;
		double value;
	} typed[] = {
		{LW, "1 e minus 3 0", 1e-30},
		{LW, "1 e minus 4 6", 1e-46},
		{OD, "1 e 4 0 0", HUGE_VAL},
		{SW, "1 e 3 9", 1e39},
		{SW, "9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9 9", 1e40},
	};
	Type_Spool();
	for (const auto &t : typed) {
		Type(t.field, std::string("minus ") + t.keys + " Home Delete");
		ASSERT_TRUE(Poll([&] { return t.field->value() == t.value; })) << t.keys;
		EXPECT_EQ("6.1", Shown(CAP)) << t.keys;
		Type_Spool();
	}
}

TEST_F(Window, NegativeHubKeepsCapacityUntilSetBack)
{
	Type_Spool();
	Type(ID, "minus 1");
	ASSERT_TRUE(Poll([] { return ID->value() == -1; }));
	/* the lone minus sign read as hub 0 */
	EXPECT_EQ("7.9", Shown(CAP));
	Type(OD, "4");
	ASSERT_TRUE(Poll([] { return OD->value() == 4; }));
	EXPECT_EQ("7.9", Shown(CAP));
	Type(ID, "0");
	EXPECT_TRUE(Poll([] { return Shown(CAP) == "33.2"; })) << Shown(CAP);
}

/* The capacity is an answer, not an input: pressing on it and dragging,
 * as on a slider, leaves it as computed. */
TEST_F(Window, DraggingTheCapacityChangesNothing)
{
	Type_Spool();
	const double computed = CAP->value();
	for (const char *drag : {"40 0", "-60 0", "0 -30"}) {
		ASSERT_EQ(0, Xdo(Win1, std::string("mousemove --window %W 224 221 mousedown 1 "
						   "mousemove_relative --sync -- ") +
					       drag + " mouseup 1"));
		/* what the drag did is drawn before the next typed key is */
		Type(SW, "1");
		ASSERT_TRUE(Poll([] { return Shown(SW) == "1"; }));
		EXPECT_EQ(computed, CAP->value()) << drag;
		EXPECT_EQ("6.1", Shown(CAP)) << drag;
	}
}

}
