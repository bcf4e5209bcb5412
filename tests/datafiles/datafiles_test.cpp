#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <fcntl.h>
#include <limits>
#include <string>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <FL/Fl_Value_Input.H>
#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "ui/ui.h"

namespace {

const double KEEP = std::numeric_limits<double>::quiet_NaN();
const double Inf = std::numeric_limits<double>::infinity();

struct Number {
	const char *text;
	double value;
};

const Number numbers[] = {
	{"3.5", 3.5}, {" \t\n\v\f\r6", 6}, {"+2", 2}, {"-1.5", -1.5}, {".5", 0.5}, {"5.", 5},
	{"1e3", 1000}, {"1E-2", 0.01}, {"1e", 1}, {"1e+", 1}, {"2.5e+x", 2.5}, {"12abc", 12},
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

/* A German locale, whose decimal separator is a comma, made for the test. */
static bool German_Numbers()
{
	char dir[] = "/tmp/merrivane-locale-XXXXXX";
	if (!mkdtemp(dir))
		return false;
	std::string cmd = std::string("localedef -i de_DE -f UTF-8 ") + dir + "/de_DE.UTF-8 2>/dev/null";
	if (system(cmd.c_str()) > 1) /* 1: warnings only */
		return false;
	setenv("LOCPATH", dir, 1);
	bool comma = setlocale(LC_NUMERIC, "de_DE.UTF-8") && *localeconv()->decimal_point == ',';
	if (system((std::string("rm -rf ") + dir).c_str()) != 0)
		ADD_FAILURE() << "could not remove " << dir;
	return comma;
}

TEST(DataFiles, DecimalValueIgnoresTheLocale)
{
	if (!German_Numbers())
		GTEST_SKIP() << "localedef cannot make de_DE";
	double comma = Decimal_Value("1,5"), point = Decimal_Value("3.5");
	setlocale(LC_NUMERIC, "C");
	EXPECT_EQ(1, comma);
	EXPECT_EQ(3.5, point);
}

/* Temporary files in a scratch directory of the test's own. */
class Files : public testing::Test {
protected:
	std::string dir;

	static void SetUpTestSuite() { if (!Win1) make_window(); }

	void SetUp() override
	{
		char tmpl[] = "/tmp/merrivane-test-XXXXXX";
		ASSERT_NE(nullptr, mkdtemp(tmpl));
		dir = tmpl;
		Reset_Fields();
	}

	static void Reset_Fields()
	{
		SW->value(11);
		OD->value(12);
		ID->value(13);
		LW->value(14);
	}

	void TearDown() override { ASSERT_EQ(0, system(("rm -rf " + dir).c_str())); }

	std::string Write(const std::string &name, const std::string &text)
	{
		std::string path = dir + "/" + name;
		FILE *f = fopen(path.c_str(), "wb");
		fwrite(text.data(), 1, text.size(), f);
		fclose(f);
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
};

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
	unlink(removed.c_str());
	std::string fifo = dir + "/fifo";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	std::string sock = dir + "/socket";
	int s = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un addr = {};
	addr.sun_family = AF_UNIX;
	snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
	ASSERT_EQ(0, bind(s, (sockaddr *)&addr, sizeof addr));

	const std::string good = Write("good.txt", "3.5\t6\t1.5\n");
	const char *bad[] = {"", "/nonexistent/spool.txt", removed.c_str(), fifo.c_str(),
		sock.c_str(), dir.c_str(), "/dev/zero", "/dev/null", nullptr};
	for (const char *path : bad) {
		Remember_File(good.c_str());
		ASSERT_EQ(1, Read_Data());
		Remember_File(path);
		EXPECT_EQ(0, Read_Data()) << (path ? path : "no path");
		Parse_Spool();
		Expect_Fields(KEEP, KEEP, KEEP, KEEP, path ? path : "no path");
	}
	close(s);
}

TEST_F(Files, UnreadableWithoutPermission)
{
	if (geteuid() == 0)
		GTEST_SKIP() << "root reads any file";
	std::string path = Write("locked.txt", "3.5\t6\t1.5\n");
	chmod(path.c_str(), 0);
	Remember_File(path.c_str());
	EXPECT_EQ(0, Read_Data());
}

/* A path of exactly n bytes under dir, holding a spool record. */
static std::string Path_Of_Length(const std::string &dir, size_t n, const char *text)
{
	std::string path = dir;
	while (path.size() + 101 < n) {
		path += "/" + std::string(99, 'd');
		mkdir(path.c_str(), 0700);
	}
	path += "/" + std::string(n - path.size() - 1, 'f');
	FILE *f = fopen(path.c_str(), "w");
	fputs(text, f);
	fclose(f);
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
	FILE *f = fopen(too_long.c_str(), "w");
	fputs("7\t8\t9\n", f);
	fclose(f);
	Remember_File(too_long.c_str());
	EXPECT_EQ(0, Read_Data());
	Remember_File((too_long + std::string(5000, 'y')).c_str());
	EXPECT_EQ(0, Read_Data());
}

}
