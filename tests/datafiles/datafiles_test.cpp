#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <string>

#include <FL/Fl_Value_Input.H>
#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "files_fixture.h"
#include "ui/ui.h"

namespace {

namespace fs = std::filesystem;

const double Inf = std::numeric_limits<double>::infinity();

struct Number {
	const char *text;
	double value;
};

const Number numbers[] = {
	{"3.5", 3.5}, {" \t\n\v\f\r6", 6}, {"+2", 2}, {"-1.5", -1.5}, {".5", 0.5}, {"5.", 5},
	{"1e3", 1000}, {"1e+3", 1000}, {"1E-2", 0.01}, {"1e", 1}, {"1e+", 1}, {"2.5e+x", 2.5}, {"12abc", 12},
	{"1,5", 1}, {"007", 7}, {"", 0}, {"abc", 0}, {".", 0}, {"-", 0}, {"+.e1", 0}, {"e5", 0},
	{"0x1A", 0}, {"0x1p3", 0}, {"-0x.8p1", 0}, {"inf", 0}, {"-Infinity", 0}, {"nan", 0},
	{"NAN(123)", 0}, {"\xa0" "7", 0}, {"1e400", Inf}, {"-1e400", -Inf}, {"1e-400", 0},
	{"0.1000000000000000055511151231257827", 0.1},
};

TEST(DataFiles, DecimalValueTakesTheLeadingDecimalOnly)
{
	for (const Number &n : numbers)
		EXPECT_EQ(n.value, Decimal_Value(n.text)) << '"' << n.text << '"';
}

struct Record {
	const char *what;
	std::string text;
	bool spool;
	double sw, od, id, lw;
};

const std::string SPACES(1016, ' ');

const Record records[] = {
	{"CR LF", "3.5\t6\t1.5\r\n", true, 3.5, 6, 1.5, KEEP},
	{"LF", "3.5\t6\t1.5\nsecond\tline\n", true, 3.5, 6, 1.5, KEEP},
	{"no line end", "3.5\t6\t1.5", true, 3.5, 6, 1.5, KEEP},
	{"no third field", "3.5\t6\n", true, 3.5, 6, KEEP, KEEP},
	{"spaces, no tab", "3.5 6 1.5\n", true, 3.5, KEEP, KEEP, KEEP},
	{"leading tab", "\t3.5\t6\t1.5\n", true, 3.5, 6, 1.5, KEEP},
	{"two tabs after field 1", "3.5\t\t6\t1.5\n", true, 3.5, 6, 1.5, KEEP},
	{"two tabs after field 2", "3.5\t6\t\t1.5\n", true, 3.5, 6, 1.5, KEEP},
	{"field 2 runs across the line end", "3.5\t6\n1.5\n", true, 3.5, 6, KEEP, KEEP},
	{"field 1 runs across the line end", "3.5\n6\t1.5\n", true, 3.5, 1.5, KEEP, KEEP},
	{"empty file", "", true, KEEP, KEEP, KEEP, KEEP},
	{"empty line", "\n", true, 0, KEEP, KEEP, KEEP},
	{"only tabs", "\t\t\t", true, KEEP, KEEP, KEEP, KEEP},
	{"not numbers", "x\ty\tz\n", true, 0, 0, 0, KEEP},
	{"signs and exponents", "-3.5\t+6e0\t1.5e-1\n", true, -3.5, 6, 0.15, KEEP},
	{"single rounding", "0.1\t0.2\t0.3\n", true, 0.1, 0.2, 0.3, KEEP},
	{"hex, inf and nan", "0x10\tinf\tnan\n", true, 0, 0, 0, KEEP},
	{"overflow", "1e400\t6\t-1e400\n", true, Inf, 6, -Inf, KEEP},
	{"zero byte ends the text", std::string("3.5\0\t6\t1.5\n", 11), true, 3.5, KEEP, KEEP, KEEP},
	{"line cut at byte 1024", "3.5\t6\t" + SPACES + "1.25\n", true, 3.5, 6, 1, KEEP},
	/* the last digit is byte 1024: read with it, the hub is another float */
	{"number ending at byte 1024", "3.5\t6\t" + std::string(1008, ' ') + "1234567891" + "23\n", true,
	 3.5, 6, 1234567891, KEEP},
	{"CR LF, empty third field", "3.5\t6\t\r\n", true, 3.5, 6, KEEP, KEEP},
	{"5000 bytes", "3.5\t6\t1.5\n" + std::string(4990, 'x'), true, 3.5, 6, 1.5, KEEP},
	{"line width LF", "0.02\n", false, KEEP, KEEP, KEEP, 0.02},
	{"line width CR LF", "0.02\r\n", false, KEEP, KEEP, KEEP, 0.02},
	{"line width without line end", "0.02", false, KEEP, KEEP, KEEP, 0.02},
	{"empty lines first", "\n\r\n0.03\n", false, KEEP, KEEP, KEEP, 0.03},
	{"tab before line width", "\t0.02\t3\n", false, KEEP, KEEP, KEEP, 0.02},
	{"line width not a number", "abc\n", false, KEEP, KEEP, KEEP, 0},
	{"empty line file", "", false, KEEP, KEEP, KEEP, KEEP},
	{"spool record as line file", "3.5\t6\t1.5\n", false, KEEP, KEEP, KEEP, 3.5},
};

TEST_F(Files, ParsesFirstLines)
{
	for (const Record &r : records) {
		Reset_Fields();
		Remember_File(Write("record.txt", r.text).c_str());
		ASSERT_EQ(1, Read_Data()) << r.what;
		r.spool ? Parse_Spool() : Parse_Line();
		Expect_Fields(r.sw, r.od, r.id, r.lw, r.what);
	}
}

TEST_F(Files, LineWidthIsSinglePrecision)
{
	Remember_File(Write("line.txt", "0.02\n").c_str());
	ASSERT_EQ(1, Read_Data());
	Parse_Line();
	EXPECT_EQ(0.0199999995529651641845703125, LW->value());
}

TEST_F(Files, ShorterFileAfterLongerParsesOnlyItsOwnBytes)
{
	std::string longer = Write("long.txt", "3.5\t6\t1.5\n");
	std::string shorter = Write("short.txt", "2\n");
	for (const std::string &path : {longer, shorter, longer, shorter}) {
		Remember_File(path.c_str());
		ASSERT_EQ(1, Read_Data());
	}
	Parse_Spool();
	Expect_Fields(2, KEEP, KEEP, KEEP, "short file");
}

TEST_F(Files, UnreadableFilesLeaveNothingToParse)
{
	std::string removed = Write("removed.txt", "1\t2\t3\n");
	fs::remove(fs::u8path(removed));
	const char *bad[] = {"", "/nonexistent/spool.txt", removed.c_str(), dir.c_str(), nullptr};
	Expect_Unreadable(bad);
}

/* FLTK reports UTF-8 paths; they must open whatever the system's code page. */
TEST_F(Files, ReadsPathsBeyondAscii)
{
	fs::create_directory(fs::u8path(dir + "/Maße"));
	std::string path = Write("Maße/spöol €.txt", "3.5\t6\t1.5\r\n");
	Remember_File(path.c_str());
	ASSERT_EQ(1, Read_Data()) << path;
	Parse_Spool();
	Expect_Fields(3.5, 6, 1.5, KEEP, path);
}

/* A path of exactly n bytes under dir, holding a spool record. */
static std::string Path_Of_Length(const std::string &dir, size_t n, const char *text)
{
	std::string path = dir;
	while (path.size() + 101 < n) {
		path += "/" + std::string(99, 'd');
		fs::create_directory(path);
	}
	path += "/" + std::string(n - path.size() - 1, 'f');
	Write_File(path, text);
	return path;
}

TEST_F(Files, PathsOf256BytesOrMoreAreNotRemembered)
{
	std::string longest = Path_Of_Length(dir, 255, "1\t2\t3\n");
	Remember_File(longest.c_str());
	ASSERT_EQ(1, Read_Data());
	Parse_Spool();
	Expect_Fields(1, 2, 3, KEEP, "255 bytes");

	/* its first 255 bytes name the file above, which must not be read */
	std::string too_long = longest + "x";
	Write_File(too_long, "7\t8\t9\n");
	Remember_File(too_long.c_str());
	EXPECT_EQ(0, Read_Data());
	Remember_File((too_long + std::string(5000, 'y')).c_str());
	EXPECT_EQ(0, Read_Data());
}

}
