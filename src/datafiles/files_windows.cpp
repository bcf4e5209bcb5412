#include "datafiles/datafiles.h"

#include <cstdlib>
#include <cwchar>
#include <locale.h>
#include <windows.h>

/* \\.\ and \\?\ (or //./ and //?/): the device namespaces, where a name
 * reaches devices, pipes and raw volumes directly. */
static int Device_Namespace(const wchar_t *path)
{
	return (path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/') &&
		(path[2] == L'.' || path[2] == L'?') && (path[3] == L'\\' || path[3] == L'/');
}

/* Windows' own rule for device names (CON, con.txt, COM1:, LPT1 .log, in
 * any folder, as each Windows version has it): making such a path full
 * gives the device's \\.\ name. */
static int Wide_Names_Device(const wchar_t *path)
{
	if (Device_Namespace(path))
		return 1;
	wchar_t full[2 * MAX_PATH];
	DWORD n = GetFullPathNameW(path, sizeof full / sizeof *full, full, nullptr);
	return n == 0 || n >= sizeof full / sizeof *full || Device_Namespace(full);
}

/* FLTK hands over UTF-8; the wide API takes any name, whatever the code
 * page. Paths are shorter than 256 bytes, so they fit. */
static int Widen(const char *path, wchar_t (&wide)[MAX_PATH + 1])
{
	return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_PATH + 1) > 0;
}

int Names_Device(const char *path)
{
	wchar_t wide[MAX_PATH + 1];
	return !Widen(path, wide) || Wide_Names_Device(wide);
}

int Read_Plain_File(const char *path, char (&buf)[READ_LIMIT + 1])
{
	/* a device is never opened: the console waits for input, a port
	 * raises its control lines */
	wchar_t wide[MAX_PATH + 1];
	if (!Widen(path, wide) || Wide_Names_Device(wide))
		return -1;

	/* a folder does not open without FILE_FLAG_BACKUP_SEMANTICS; anything
	 * else that is not a file on a disk is closed unread */
	HANDLE h = CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
		nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
	if (h == INVALID_HANDLE_VALUE)
		return -1;

	int got = -1;
	LARGE_INTEGER size;
	if (GetFileType(h) == FILE_TYPE_DISK && GetFileSizeEx(h, &size)) {
		DWORD want = size.QuadPart < READ_LIMIT ? (DWORD)size.QuadPart : (DWORD)READ_LIMIT;
		DWORD total = 0, n = 0;
		BOOL ok = TRUE;
		while (total < want && (ok = ReadFile(h, buf + total, want - total, &n, nullptr)) && n > 0)
			total += n;
		got = ok ? (int)total : -1;
	}
	CloseHandle(h);
	return got;
}

double C_Strtod(const char *s)
{
	static _locale_t c_locale = _create_locale(LC_NUMERIC, "C");
	return _strtod_l(s, nullptr, c_locale);
}
