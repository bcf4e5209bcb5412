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
#include "x11_driver.h"

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
