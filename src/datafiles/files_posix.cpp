#include "datafiles/datafiles.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <locale.h>
#include <sys/stat.h>
#include <unistd.h>

/* Reads at most READ_LIMIT bytes from fd, opened on the path where stat
 * found the plain file named; -1 when fd is not that file. */
static int Read_Open(int fd, const struct stat &named, char (&buf)[READ_LIMIT + 1])
{
	struct stat st;
	if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_dev != named.st_dev ||
	    st.st_ino != named.st_ino)
		return -1;

	off_t size = lseek(fd, 0, SEEK_END);
	if (size < 0 || lseek(fd, 0, SEEK_SET) != 0)
		return -1;

	/* a local block, whose size the fortified read() checks on each call */
	char block[READ_LIMIT];
	size_t got = 0;
	size_t left = size < READ_LIMIT ? (size_t)size : sizeof block;
	while (left > 0) {
		ssize_t n = read(fd, block + got, left);
		if (n == 0)
			break;
		if (n < 0) {
			if (errno == EINTR)
				continue;
			return -1;
		}
		size_t step = (size_t)n < left ? (size_t)n : left;
		got += step;
		left -= step;
	}
	if (got > 0)
		std::memcpy(buf, block, got);
	return (int)got;
}

int Read_Plain_File(const char *path, char (&buf)[READ_LIMIT + 1])
{
	/* Opening a device or a FIFO does things of its own (a tape rewinds, a
	 * watchdog starts counting), so what path names is looked at first and
	 * only a plain file is opened. Should another file be put in its place
	 * in between, fstat tells, and nothing is read; O_NONBLOCK keeps such a
	 * FIFO from holding up the window. */
	struct stat named;
	if (stat(path, &named) != 0 || !S_ISREG(named.st_mode))
		return -1;
	int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
	if (fd < 0)
		return -1;
	int got = Read_Open(fd, named, buf);
	close(fd);
	return got;
}

double C_Strtod(const char *s)
{
	static locale_t c_locale = newlocale(LC_NUMERIC_MASK, "C", (locale_t)0);
	return strtod_l(s, nullptr, c_locale);
}
