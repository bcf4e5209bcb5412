#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

#include "ui/ui.h"

namespace {

const char *const lines[] = {
	"Merrivane 1.00",
	"",
	"This program calculates the line capacity of a spool.",
	"",
	"You can enter the dimensions directly into the input boxes.",
	"Dimensions can also be retrieved from a plain text file.",
	"In the first line of the text file, enter the dimensions with tabs",
	"separating the data as follows:",
	"",
	"    The first data field is spool width.",
	"    The second data field is outer diameter.",
	"    The third data field is hub diameter.",
	"",
	"The line width can also be stored to a separate plain text file.",
	"Enter the line width value in the first line of the file.",
	"",
	"After loading data from a file, hit the Update button",
};

class Help : public testing::Test {
protected:
	static void SetUpTestSuite() { Build_Help(); }
};

TEST_F(Help, HoldsTheSeventeenLinesExactly)
{
	std::string expected;
	for (const char *line : lines)
		expected += std::string(line) + "\n";

	char *text = T1->buffer()->text();
	EXPECT_EQ(expected, text);
	free(text);
	EXPECT_EQ(expected.size(), (size_t)T1->buffer()->length());
}

TEST_F(Help, BuildsAHiddenWindow)
{
	EXPECT_STREQ("Help", Win2->label());
	EXPECT_EQ(505, Win2->w());
	EXPECT_EQ(320, Win2->h());
	EXPECT_FALSE(Win2->shown());
	ASSERT_EQ(1, Win2->children());
	EXPECT_EQ(T1, Win2->child(0));
	EXPECT_EQ(14, T1->x());
	EXPECT_EQ(15, T1->y());
	EXPECT_EQ(481, T1->w());
	EXPECT_EQ(295, T1->h());
	EXPECT_EQ(nullptr, Fl_Group::current());
}

TEST_F(Help, ButtonShowsTheOneWindow)
{
	cb_Help(nullptr, nullptr);
	cb_Help(nullptr, nullptr);
	Win2->wait_for_expose();
	EXPECT_TRUE(Win2->shown());
	EXPECT_EQ(Win2, Fl::first_window());
	EXPECT_EQ(nullptr, Fl::next_window(Win2));
}

}
