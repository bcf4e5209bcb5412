#include "datafiles/datafiles.h"

#include <cstring>
#include <string>

#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_Value_Input.H>

#include "capacity/capacity.h"
#include "ui/ui.h"

static Fl_File_Chooser *CH;
static char filename[256];
static int a; /* pending load: 0 none, 1 spool file, 2 line file */
static char buffer[READ_LIMIT + 1];

void Choose_File()
{
	/* the previous chooser is closed, since each is modal; keeping it
	 * would leak one chooser per press */
	delete CH;
	CH = new Fl_File_Chooser(".", nullptr, Fl_File_Chooser::SINGLE, nullptr);
	CH->show();
	CH->callback(Set_File);
}

void cb_Spool(Fl_Widget *, void *)
{
	Choose_File();
	a = 1;
}

void cb_Line(Fl_Widget *, void *)
{
	Choose_File();
	a = 2;
}

void Set_File(Fl_File_Chooser *, void *)
{
	Remember_File(CH->value(1));
}

void Remember_File(const char *path)
{
	/* a cut path could name another file */
	if (!path || strnlen(path, sizeof filename) == sizeof filename)
		path = "";
	strncpy(filename, path, sizeof filename);
}

int Read_Data()
{
	int got = filename[0] ? Read_Plain_File(filename, buffer) : -1;
	buffer[got < 0 ? 0 : got] = 0;
	return got >= 0;
}

static const char *Digits(const char *s)
{
	while (*s >= '0' && *s <= '9')
		s++;
	return s;
}

/* End of the decimal number at s, or s itself when there is none. */
static const char *Decimal_End(const char *s)
{
	const char *p = s + (*s == '+' || *s == '-');
	const char *end = Digits(p);
	long digits = end - p;
	if (*end == '.') {
		const char *fraction = Digits(end + 1);
		digits += fraction - (end + 1);
		end = fraction;
	}
	if (digits == 0)
		return s;
	if (*end == 'e' || *end == 'E') {
		const char *e = end + 1 + (end[1] == '+' || end[1] == '-');
		const char *exponent_end = Digits(e);
		if (exponent_end != e)
			end = exponent_end;
	}
	return end;
}

double Decimal_Value(const char *s)
{
	while (*s == ' ' || (*s >= '\t' && *s <= '\r'))
		s++;
	const char *end = Decimal_End(s);
	if (end == s)
		return 0;
	/* only the decimal itself, so strtod cannot take a hexadecimal form */
	std::string number(s, end);
	return C_Strtod(number.c_str());
}

/* Single precision, as numbers from files are always stored. */
static void Store(Fl_Value_Input *field, const char *text)
{
	field->value((float)Decimal_Value(text));
}

void Parse_Spool()
{
	const char *field = strtok(buffer, "\t");
	if (!field)
		return;
	Store(SW, field);
	if (!(field = strtok(nullptr, "\t")))
		return;
	Store(OD, field);
	if (!(field = strtok(nullptr, "\r\n")))
		return;
	Store(ID, field);
}

void Parse_Line()
{
	const char *field = strtok(buffer, "\r\n");
	if (field)
		Store(LW, field);
}

void Load()
{
	if (Read_Data()) {
		if (a == 1)
			Parse_Spool();
		else if (a == 2)
			Parse_Line();
	}
	a = 0;
	calc();
}

void cb_Update(Fl_Widget *, void *)
{
	Load();
}
