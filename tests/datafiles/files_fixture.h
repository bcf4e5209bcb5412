#ifndef MERRIVANE_FILES_FIXTURE_H
#define MERRIVANE_FILES_FIXTURE_H

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <string>

#include <FL/Fl_Value_Input.H>
#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "ui/ui.h"

/* A field the test expects to keep its value. */
const double KEEP = std::numeric_limits<double>::quiet_NaN();

/* Writes text to the file at path (UTF-8), bytes as they are. */
inline void Write_File(const std::string &path, const std::string &text)
{
	std::ofstream(std::filesystem::u8path(path), std::ios::binary) << text;
}

/* Data files in a scratch directory of the test's own, and the four
 * dimension fields set to 11, 12, 13 and 14 before each test. */
class Files : public testing::Test {
protected:
	std::string dir;

	static void SetUpTestSuite() { if (!Win1) make_window(); }

	void SetUp() override
	{
		std::random_device seed;
		std::filesystem::path scratch = std::filesystem::temp_directory_path() /
			("merrivane-test-" + std::to_string(seed()));
		ASSERT_TRUE(std::filesystem::create_directory(scratch));
		dir = scratch.generic_u8string();
		Reset_Fields();
	}

	void TearDown() override { std::filesystem::remove_all(std::filesystem::u8path(dir)); }

	static void Reset_Fields()
	{
		SW->value(11);
		OD->value(12);
		ID->value(13);
		LW->value(14);
	}

	std::string Write(const std::string &name, const std::string &text)
	{
		std::string path = dir + "/" + name;
		Write_File(path, text);
		return path;
	}

	static void Expect_Fields(double sw, double od, double id, double lw, const std::string &what)
	{
		const double was[] = {11, 12, 13, 14}, want[] = {sw, od, id, lw};
		Fl_Value_Input *fields[] = {SW, OD, ID, LW};
		for (int i = 0; i < 4; i++) {
			double expected = std::isnan(want[i]) ? was[i] : (float)want[i];
			EXPECT_EQ(expected, fields[i]->value()) << what << ", field " << i;
		}
	}

	/* Each path, after a good file was read, reads nothing and leaves
	 * nothing to parse. */
	template <size_t N>
	void Expect_Unreadable(const char *const (&paths)[N])
	{
		const std::string good = Write("good.txt", "3.5\t6\t1.5\n");
		for (const char *path : paths) {
			Remember_File(good.c_str());
			ASSERT_EQ(1, Read_Data());
			Remember_File(path);
			EXPECT_EQ(0, Read_Data()) << (path ? path : "no path");
			Parse_Spool();
			Expect_Fields(KEEP, KEEP, KEEP, KEEP, path ? path : "no path");
		}
	}
};

#endif
