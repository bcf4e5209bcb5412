#ifndef MERRIVANE_DATAFILES_H
#define MERRIVANE_DATAFILES_H

class Fl_File_Chooser;
class Fl_Widget;

/* Only this much of a data file is ever read. */
constexpr int READ_LIMIT = 1024;

void Choose_File();
void cb_Spool(Fl_Widget *, void *);
void cb_Line(Fl_Widget *, void *);
void Set_File(Fl_File_Chooser *, void *);

/* Remembers path for the next Update; no path, or one too long to keep
 * whole, remembers none. */
void Remember_File(const char *path);

/* Reads the remembered file into the buffer; 0 when it cannot be read:
 * no name, not a plain file, size unknown, or a failing read. */
int Read_Data();
void Parse_Spool();
void Parse_Line();
void Load();
void cb_Update(Fl_Widget *, void *);

/* Platform helpers, one file each (files_posix.cpp, files_windows.cpp). */

/* Reads at most READ_LIMIT bytes of the plain file at path (UTF-8) into buf
 * and returns how many, or -1 when it is no plain file that can be read: one
 * that cannot be opened, a directory, a device, a pipe. Devices and pipes
 * are refused by name, before anything is opened, so none of them can
 * hold it up; a plain file on a file system that does not answer (a hung
 * network mount) still can. */
int Read_Plain_File(const char *path, char (&buf)[READ_LIMIT + 1]);

/* Windows: whether Windows takes path (UTF-8) for a device rather than a
 * file, by its own rules, without opening anything. */
int Names_Device(const char *path);

/* strtod in the C locale, whatever the process's locale. */
double C_Strtod(const char *s);

/* The longest leading decimal number of s after white space, 0 if none.
 * Hexadecimal, "inf" and "nan" are not decimal; the locale is ignored. */
double Decimal_Value(const char *s);

#endif
