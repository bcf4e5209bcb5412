/* This file defines open() itself, which the fortified header's inline
 * version of it would clash with. */
#undef _FORTIFY_SOURCE

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

#include "swap_at_open.h"

static const char *swap_from, *swap_to;

void Swap_At_Open(const char *from, const char *to)
{
	swap_from = from;
	swap_to = to;
}

/* Every open() of the test program, the library's included: the next one of
 * the path named moves the other file onto it first. */
extern "C" int open(const char *path, int flags, ...)
{
	mode_t mode = 0;
	if (flags & (O_CREAT | O_TMPFILE)) {
		va_list ap;
		va_start(ap, flags);
		mode = va_arg(ap, mode_t);
		va_end(ap);
	}
	if (swap_from && std::strcmp(path, swap_to) == 0) {
		std::rename(swap_from, swap_to);
		swap_from = nullptr;
	}
	return openat(AT_FDCWD, path, flags, mode);
}
