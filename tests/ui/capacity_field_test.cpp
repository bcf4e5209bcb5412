#include <algorithm>
#include <cfloat>
#include <cstdlib>

/* before FLTK's drawing header, which brings X11's None macro */
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/fl_draw.H>

#include "capacity/capacity.h"
#include "ui/ui.h"
#include "driver.h"

namespace {

/* The capacity field on a real display, measured with the font it draws in. */
class CapacityField : public testing::Test {
protected:
	static void SetUpTestSuite()
	{
		make_window();
		Show_Mapped(Win1);
	}

	static int Text_Width()
	{
		fl_font(CAP->textfont(), CAP->textsize());
		return (int)fl_width(Shown(CAP).c_str());
	}

	static int Room() { return CAP->w() - Fl::box_dw(FL_DOWN_BOX); }
};

struct Magnitude {
	double yards;
	const char *fixed; /* the text when it still fits with one decimal, else null */
};

const Magnitude magnitudes[] = {
	{0, "0.0"},
	{6.10867, "6.1"},
	{6454.1118, "6454.1"},
	{2208348.4, "2208348.4"},
	{17669143.5, "17669143.5"},
	{441807139.5, "441807139.5"},
	{9876543210.5, "9876543210.5"},
	{2.58e10, "25800000000.0"},
	{2.58e13, nullptr},
	{1e15, nullptr},
	{1.5e100, nullptr},
	{DBL_MAX, nullptr},
};

TEST_F(CapacityField, NeverDrawsTheValueCut)
{
	for (const Magnitude &m : magnitudes) {
		CAP->value(m.yards);
		Fit_Capacity();
		std::string text = Shown(CAP);
		EXPECT_LE(Text_Width(), Room()) << text << " at size " << CAP->textsize();
		EXPECT_GE(CAP->textsize(), CAP_MIN_TEXT_SIZE) << text;
		if (m.fixed) {
			EXPECT_EQ(m.fixed, text);
		} else {
			EXPECT_NE(std::string::npos, text.find('e')) << text;
			EXPECT_NEAR(1, std::strtod(text.c_str(), nullptr) / m.yards, 1e-5) << text;
		}
	}
}

TEST_F(CapacityField, WhatFitsAsLaidOutLooksAsLaidOut)
{
	for (double yards : {0.0, 6.10867, 6454.1118, 99999.9}) {
		CAP->value(1e300);
		Fit_Capacity();
		CAP->value(yards);
		Fit_Capacity();
		EXPECT_EQ(CAP_TEXT_SIZE, CAP->textsize()) << yards;
		/* FLTK returns step() as a quotient, with x87 excess precision on i386 */
		EXPECT_DOUBLE_EQ(0.1, CAP->step()) << yards;
	}
}

/* FLTK 1.4 zooms every window by the screen's scale and by Ctrl +, Ctrl -
 * and Ctrl 0; 1.3 does neither. */
TEST_F(CapacityField, KeyboardZoomChangesNoFieldNorTheCapacity)
{
	if (Screen_Scale() == 0)
		GTEST_SKIP() << "this FLTK does not zoom";
	const char *dpi = std::getenv("MERRIVANE_DPI");
	const float start = Screen_Scale();
	EXPECT_FLOAT_EQ((dpi ? std::atof(dpi) : 96) / 96, start);

	SW->value(3.5);
	OD->value(6);
	ID->value(1.5);
	LW->value(0.02);
	calc();
	ASSERT_EQ(0, Click(SW)); /* where a stray key would land */
	float lowest = start, highest = start;
	for (const char *key : {"ctrl+plus", "ctrl+minus"}) {
		for (float before = 0; before != Screen_Scale();) {
			before = Screen_Scale();
			ASSERT_EQ(0, Xdo(Win1, std::string("key ") + key));
			Poll([&] { return Screen_Scale() != before; }, 1);
			float scale = Screen_Scale();
			lowest = std::min(lowest, scale);
			highest = std::max(highest, scale);
			EXPECT_NEAR(385 * scale, Device_Width(Win1), 1) << key << " to " << scale;
			std::string shown = std::string(SW->input.value()) + " " + Shown(OD) + " " +
				Shown(ID) + " " + Shown(LW) + " " + Shown(CAP);
			EXPECT_EQ("3.5 6 1.5 0.02 6454.1", shown) << key << " to " << scale;
			EXPECT_LE(Text_Width(), Room()) << key << " to " << scale;
		}
	}
	EXPECT_GE(highest, 2 * start);
	EXPECT_LE(lowest, start / 1.5f);
	/* keys go to the window under the pointer, and the window has shrunk */
	ASSERT_EQ(0, Xdo(Win1, "mousemove --window %W 10 10 key ctrl+0"));
	EXPECT_TRUE(Poll([&] { return Screen_Scale() == start; })) << Screen_Scale();
}

TEST_F(CapacityField, FineWireShowsEveryDigit)
{
	SW->value(6);
	OD->value(12);
	ID->value(3);
	LW->value(0.001);
	calc();
	EXPECT_EQ("17669143.5", Shown(CAP));
	EXPECT_LE(Text_Width(), Room());
	EXPECT_LT(CAP->textsize(), CAP_TEXT_SIZE);
}

}
