#include <cstring>

#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "ui/ui.h"

namespace {

struct Child {
	int x, y, w, h;
	const char *label;
	int labelfont, labelsize, labelcolor;
	Fl_Callback *cb;
};

/* In creation order, which is also the keyboard focus order. */
const Child children[] = {
	{187, 36, 75, 24, "spool width (in)", 1, 14, 4, cb_SW},
	{187, 79, 75, 24, "outer diameter (in)", 1, 14, 4, cb_OD},
	{187, 122, 75, 24, "hub diameter (in)", 1, 14, 4, cb_ID},
	{187, 165, 75, 24, "line width (in)", 1, 14, 4, cb_LW},
	{187, 209, 75, 24, "capacity (yds)", 1, 14, 4, nullptr},
	{282, 38, 80, 22, "Spool File", 0, 12, FL_FOREGROUND_COLOR, cb_Spool},
	{282, 168, 80, 22, "Line File", 0, 12, FL_FOREGROUND_COLOR, cb_Line},
	{282, 211, 80, 22, "Update", 0, 12, FL_FOREGROUND_COLOR, cb_Update},
	{14, 254, 60, 20, "Help", 0, 14, FL_FOREGROUND_COLOR, cb_Help},
};

class MakeWindow : public testing::Test {
protected:
	static void SetUpTestSuite() { make_window(); }
};

TEST_F(MakeWindow, BuildsTheMainWindow)
{
	EXPECT_STREQ("Merrivane", Win1->label());
	EXPECT_EQ(385, Win1->w());
	EXPECT_EQ(290, Win1->h());
	EXPECT_EQ(34u, Win1->color());
	EXPECT_EQ(1, Win1->labelfont());
	EXPECT_FALSE(Win1->shown());
	EXPECT_EQ(nullptr, Fl_Group::current());
}

TEST_F(MakeWindow, LaysOutChildrenInOrder)
{
	ASSERT_EQ(9, Win1->children());
	for (int i = 0; i < 9; i++) {
		const Child &c = children[i];
		Fl_Widget *o = Win1->child(i);
		SCOPED_TRACE(c.label);
		EXPECT_EQ(c.x, o->x());
		EXPECT_EQ(c.y, o->y());
		EXPECT_EQ(c.w, o->w());
		EXPECT_EQ(c.h, o->h());
		EXPECT_STREQ(c.label, o->label());
		EXPECT_EQ(c.labelfont, o->labelfont());
		EXPECT_EQ(c.labelsize, o->labelsize());
		EXPECT_EQ((Fl_Color)c.labelcolor, o->labelcolor());
		if (c.cb) {
			EXPECT_EQ(c.cb, o->callback());
		}
	}
}

TEST_F(MakeWindow, SetsHandlesAndKinds)
{
	Fl_Value_Input *fields[] = {SW, OD, ID, LW};
	for (int i = 0; i < 4; i++) {
		EXPECT_EQ(Win1->child(i), fields[i]);
		EXPECT_EQ(0, fields[i]->value());
	}
	EXPECT_EQ(Win1->child(4), CAP);
	EXPECT_EQ(51u, CAP->color());
	/* FLTK returns step() as a quotient, with x87 excess precision on i386 */
	EXPECT_DOUBLE_EQ(0.1, CAP->step());
	for (int i = 5; i < 9; i++)
		EXPECT_NE(nullptr, dynamic_cast<Fl_Button *>(Win1->child(i)));
}

}
