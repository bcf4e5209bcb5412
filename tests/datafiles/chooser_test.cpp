#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_File_Browser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/fl_draw.H>

#include "ui/ui.h"
#include "../ui/driver.h"

namespace {

/* The chooser flow on a real X server, in a scratch directory holding the
 * files a user would pick. */
class Chooser : public testing::Test {
protected:
	/* emptied only once made, so a failed set-up removes nothing else */
	static inline std::string dir;

	static void SetUpTestSuite()
	{
		char name[] = "/tmp/merrivane-chooser-XXXXXX";
		ASSERT_NE(nullptr, mkdtemp(name));
		dir = name;
		ASSERT_EQ(0, chdir(name));
		/* the chooser's own preferences go here */
		setenv("HOME", name, 1);
		setenv("XDG_CONFIG_HOME", (dir + "/.config").c_str(), 1);
		Write("a_spool.txt", "3.5\t6\t1.5\r\n");
		Write("b_line.txt", "0.02\n");
		mkfifo("fifo", 0600);
		make_window();
		Show_Mapped(Win1);
	}

	static void TearDownTestSuite()
	{
		if (!dir.empty()) {
			EXPECT_EQ(0, system(("rm -rf '" + dir + "'").c_str()));
		}
	}

	void SetUp() override { Set_Fields(1, 2, 1, 0.1); }

	static void Write(const char *name, const char *text)
	{
		FILE *f = fopen(name, "w");
		fputs(text, f);
		fclose(f);
	}

	/* in single precision, as a file would give them */
	static void Set_Fields(float sw, float od, float id, float lw)
	{
		SW->value(sw);
		OD->value(od);
		ID->value(id);
		LW->value(lw);
		CAP->value(0);
	}

	static Fl_Widget *Button(const char *label)
	{
		for (int i = 0; i < Win1->children(); i++)
			if (std::string(label) == Win1->child(i)->label())
				return Win1->child(i);
		return nullptr;
	}

	template <class W>
	static W *Find(Fl_Group *g, const char *label = nullptr)
	{
		for (int i = 0; i < g->children(); i++) {
			Fl_Widget *o = g->child(i);
			W *w = dynamic_cast<W *>(o);
			if (w && (!label || (o->label() && std::string(label) == o->label())))
				return w;
			if (o->as_group() && (w = Find<W>(o->as_group(), label)))
				return w;
		}
		return nullptr;
	}

	/* Presses "Spool File" or "Line File" and returns the chooser it opened. */
	static Fl_Window *Open(const char *button)
	{
		Fl_Window *before = Fl::first_window();
		EXPECT_EQ(0, Click(Button(button)));
		EXPECT_TRUE(Poll([&] { return Fl::first_window() != before && Fl::first_window() != Win1; }));
		Fl_Window *chooser = Fl::first_window();
		chooser->wait_for_expose();
		return chooser;
	}

	static void Closed(Fl_Window *chooser)
	{
		EXPECT_TRUE(Poll([&] { return !chooser->shown(); })) << "chooser still open";
	}

	/* Types the bare file name at the end of the Filename field, then Return. */
	static void Pick(Fl_Window *chooser, const char *keys)
	{
		Fl_File_Input *name = Find<Fl_File_Input>(chooser);
		ASSERT_NE(nullptr, name);
		std::string at = std::to_string(name->x() + name->w() - 4) + " " + std::to_string(name->y() + name->h() - 8);
		ASSERT_EQ(0, Xdo(chooser, "mousemove --window %W " + at + " click 1 key End " + keys + " Return"));
		Closed(chooser);
	}

	/* Clicks line n of the file list (line 1 is "../"). */
	static void Click_Line(Fl_Window *chooser, int n)
	{
		Fl_File_Browser *list = Find<Fl_File_Browser>(chooser);
		ASSERT_NE(nullptr, list);
		fl_font(list->textfont(), list->textsize());
		int line = fl_height() + 2;
		std::string at = std::to_string(list->x() + 40) + " " + std::to_string(list->y() + 2 + line * (n - 1) + line / 2);
		ASSERT_EQ(0, Xdo(chooser, "mousemove --window %W " + at + " click 1"));
	}

	static void Cancel(Fl_Window *chooser)
	{
		ASSERT_EQ(0, Click(Find<Fl_Button>(chooser, "Cancel")));
		Closed(chooser);
	}

	static void Update()
	{
		ASSERT_EQ(0, Click(Button("Update")));
	}

	static void Expect_Fields(double sw, double od, double id, double lw)
	{
		EXPECT_EQ((float)sw, SW->value());
		EXPECT_EQ((float)od, OD->value());
		EXPECT_EQ((float)id, ID->value());
		EXPECT_EQ((float)lw, LW->value());
	}
};

TEST_F(Chooser, SpoolFileFillsSpoolFields)
{
	Set_Fields(1, 2, 1, 0.02);
	Pick(Open("Spool File"), "a underscore s p o o l period t x t");
	Update();
	EXPECT_TRUE(Poll([] { return Shown(CAP) == "6454.1"; })) << Shown(CAP);
	Expect_Fields(3.5, 6, 1.5, 0.02);
}

TEST_F(Chooser, LineFileFillsLineWidth)
{
	Pick(Open("Line File"), "b underscore l i n e period t x t");
	Update();
	EXPECT_TRUE(Poll([] { return Shown(CAP) == "170.2"; })) << Shown(CAP);
	EXPECT_EQ(0.0199999995529651641845703125, LW->value());
	EXPECT_EQ("0.02", Shown(LW));
}

/* In this order: nothing reported yet, then the directory "../" clicked,
 * then a file clicked; Cancel keeps whatever was reported last. */
TEST_F(Chooser, CancelKeepsTheLastClick)
{
	struct {
		int line; /* clicked in the file list; 0 none */
		float sw, od, id;
	} clicks[] = {
		{0, 1, 2, 1},
		{1, 1, 2, 1},
		{2, 3.5, 6, 1.5},
	};
	for (const auto &c : clicks) {
		Set_Fields(1, 2, 1, 0.1);
		Fl_Window *chooser = Open("Spool File");
		if (c.line)
			Click_Line(chooser, c.line);
		Cancel(chooser);
		Update();
		EXPECT_TRUE(Poll([] { return CAP->value() != 0; })) << "capacity not recomputed";
		Expect_Fields(c.sw, c.od, c.id, 0.1);
	}
}

TEST_F(Chooser, LastChooserOpenedDecidesTheKind)
{
	Pick(Open("Spool File"), "a underscore s p o o l period t x t");
	Cancel(Open("Line File"));
	Update();
	EXPECT_TRUE(Poll([] { return LW->value() == 3.5; }));
	Expect_Fields(1, 2, 1, 3.5);
}

TEST_F(Chooser, SecondUpdateParsesNothing)
{
	Pick(Open("Spool File"), "a underscore s p o o l period t x t");
	Update();
	EXPECT_TRUE(Poll([] { return SW->value() == 3.5; }));
	Set_Fields(1, 2, 1, 0.1);
	Update();
	EXPECT_TRUE(Poll([] { return Shown(CAP) == "6.1"; })) << "capacity not recomputed";
	Expect_Fields(1, 2, 1, 0.1);
}

TEST_F(Chooser, LineFilePressedTwiceKeepsTheSecondPick)
{
	Cancel(Open("Line File"));
	Pick(Open("Line File"), "b underscore l i n e period t x t");
	Update();
	EXPECT_TRUE(Poll([] { return LW->value() != 0.1f; }));
	Expect_Fields(1, 2, 1, 0.02);
}

TEST_F(Chooser, UnreadablePicksChangeNoField)
{
	const char *picks[] = {"f i f o", "r e m o v e d period t x t"};
	for (const char *keys : picks) {
		Write("removed.txt", "7\t8\t9\n");
		Pick(Open("Spool File"), keys);
		unlink("removed.txt");
		Update();
		EXPECT_TRUE(Poll([] { return Shown(CAP) == "6.1"; })) << keys;
		Expect_Fields(1, 2, 1, 0.1);
		Set_Fields(1, 2, 1, 0.1);
	}
}

}
