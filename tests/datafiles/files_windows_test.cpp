#include <clocale>
#include <string>

#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "files_fixture.h"

namespace {

/* Device names, in any folder and with any extension, open devices, and
 * the console waits for input: none may be read, none may block. */
TEST_F(Files, ReservedDeviceNamesAreNotRead)
{
	const std::string in_dir = dir + "/con.txt", back = dir + "\\Aux.Log";
	const char *bad[] = {"CON", "con", "con.txt", "CON .txt", "NUL", "nul.dat", "AUX", "PRN", "prn.txt",
		"COM1", "com9.log", "LPT1", "lpt9.txt", "CONIN$", "conout$", "C:con", in_dir.c_str(), back.c_str(),
		"\\\\.\\CON", "//./nul", "\\\\.\\pipe\\merrivane", "CON:", "COM1:", "lpt1 .log", "nul.txt",
		"\\\\?\\GLOBALROOT\\Device\\Null"};
	Expect_Unreadable(bad);
	/* devices by name on every Windows; with an extension only before 11 */
	for (const char *path : {"CON", "nul", "AUX", "PRN", "COM1", "LPT9", "CON:", "COM1:", "C:con", "sub\\aux",
		     "\\\\.\\CON", "\\\\?\\GLOBALROOT\\Device\\Null"})
		EXPECT_TRUE(Names_Device(path)) << path;
}

TEST_F(Files, NamesLikeDevicesButNotThemAreRead)
{
	for (const char *name : {"console.txt", "con1.txt", "com10.txt", "lpt.txt", "nul_.txt", "auxiliary"}) {
		Reset_Fields();
		Remember_File(Write(name, "3.5\t6\t1.5\r\n").c_str());
		ASSERT_EQ(1, Read_Data()) << name;
		Parse_Spool();
		Expect_Fields(3.5, 6, 1.5, KEEP, name);
		EXPECT_FALSE(Names_Device(name)) << name;
	}
}

TEST(DataFiles, DecimalValueIgnoresTheLocale)
{
	if (!setlocale(LC_NUMERIC, "German") || *localeconv()->decimal_point != ',')
		GTEST_SKIP() << "no German locale";
	double comma = Decimal_Value("1,5"), point = Decimal_Value("3.5");
	setlocale(LC_NUMERIC, "C");
	EXPECT_EQ(1, comma);
	EXPECT_EQ(3.5, point);
}

}
