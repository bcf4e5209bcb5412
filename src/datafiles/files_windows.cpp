#include "datafiles/datafiles.h"

#include <cstdlib>
#include <cwchar>
#include <locale.h>
#include <windows.h>

/* Names Windows turns into devices in any folder and with any extension
 * (con.txt is the console): opening one can wait for input, so they are
 * refused before they are opened. */
static int Reserved_Device(const wchar_t *path)
{
	/* the device namespace, \\.\ or //./ */
	if ((path[0] == L'\\' || path[0] == L'/') && (path[1] == L'\\' || path[1] == L'/') && path[2] == L'.')
		return 1;

	const wchar_t *name = path;
	for (const wchar_t *p = path; *p; p++)
		if (*p == L'\\' || *p == L'/' || *p == L':')
			name = p + 1;
	size_t n = 0;
	while (name[n] && name[n] != L'.')
		n++;
	while (n > 0 && name[n - 1] == L' ')
		n--;

	static const wchar_t *const fixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
	for (const wchar_t *f : fixed)
		if (n == wcslen(f) && _wcsnicmp(name, f, n) == 0)
			return 1;
	/* COM0-COM9, LPT0-LPT9, also with a superscript 1, 2 or 3 */
	if (n == 4 && (_wcsnicmp(name, L"COM", 3) == 0 || _wcsnicmp(name, L"LPT", 3) == 0))
		return (name[3] >= L'0' && name[3] <= L'9') || name[3] == 0xb9 || name[3] == 0xb2 || name[3] == 0xb3;
	return 0;
}

int Read_Plain_File(const char *path, char (&buf)[READ_LIMIT + 1])
{
	/* FLTK hands over UTF-8; the wide API takes any name, whatever the
	 * code page. Paths are shorter than 256 bytes, so they fit. */
	wchar_t wide[MAX_PATH + 1];
	if (MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, wide, MAX_PATH + 1) <= 0)
		return -1;
	if (Reserved_Device(wide))
		return -1;

	/* a folder does not open without FILE_FLAG_BACKUP_SEMANTICS */
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
