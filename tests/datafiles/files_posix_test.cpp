#include <clocale>
#include <cstdlib>
#include <string>
#include <sys/inotify.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "datafiles/datafiles.h"
#include "files_fixture.h"
#include "swap_at_open.h"

namespace {

TEST_F(Files, SpecialFilesAreNotRead)
{
	std::string fifo = dir + "/fifo";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	std::string sock = dir + "/socket";
	int s = socket(AF_UNIX, SOCK_STREAM, 0);
	sockaddr_un addr = {};
	addr.sun_family = AF_UNIX;
	snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sock.c_str());
	ASSERT_EQ(0, bind(s, (sockaddr *)&addr, sizeof addr));

	const char *bad[] = {fifo.c_str(), sock.c_str(), "/dev/zero", "/dev/null", "/dev/tty"};
	Expect_Unreadable(bad);
	close(s);
}

/* Opening a FIFO or a device has effects of its own, whatever is read
 * after: an Update must not even open them. */
TEST_F(Files, SpecialFilesAreNeverOpened)
{
	std::string fifo = dir + "/fifo", device = dir + "/null";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	const bool root = geteuid() == 0;
	if (root) {
		ASSERT_EQ(0, mknod(device.c_str(), S_IFCHR | 0600, makedev(1, 3)));
	}
	for (const std::string &path : {fifo, device}) {
		if (path == device && !root)
			continue;
		int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
		ASSERT_LE(0, watch);
		ASSERT_LE(0, inotify_add_watch(watch, path.c_str(), IN_OPEN));
		Remember_File(path.c_str());
		EXPECT_EQ(0, Read_Data()) << path;
		char event[sizeof(inotify_event) + 256];
		EXPECT_EQ(-1, read(watch, event, sizeof event)) << path << " was opened";
		close(watch);
	}
	if (!root)
		GTEST_SKIP() << "only root makes a device node: the FIFO alone was tried";
}

/* Another plain file, or a FIFO, moved onto the path between the look at it
 * and the open: nothing is read, and the FIFO holds nothing up. */
TEST_F(Files, NothingReadFromAFileSwappedInAtTheOpen)
{
	std::string named = dir + "/spool.txt", other = Write("other.txt", "1\t2\t1\n"), fifo = dir + "/fifo";
	ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
	for (const std::string &in : {other, fifo}) {
		unlink(named.c_str());
		Write_File(named, "3.5\t6\t1.5\n");
		char buf[READ_LIMIT + 1];
		Swap_At_Open(in.c_str(), named.c_str());
		EXPECT_EQ(-1, Read_Plain_File(named.c_str(), buf)) << in << " was read";
	}
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

}
