#include "ui/ui.h"

#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Text_Buffer.H>
#include <FL/Fl_Text_Display.H>

Fl_Double_Window *Win2;
Fl_Text_Display *T1;

/* built before main and kept to the end, as the help text's home */
static Fl_Text_Buffer txt(4096, 1024); // NOLINT(cert-err58-cpp)

const char HELP_TEXT[] =
	"Merrivane 1.00\n"
	"\n"
	"This program calculates the line capacity of a spool.\n"
	"\n"
	"You can enter the dimensions directly into the input boxes.\n"
	"Dimensions can also be retrieved from a plain text file.\n"
	"In the first line of the text file, enter the dimensions with tabs\n"
	"separating the data as follows:\n"
	"\n"
	"    The first data field is spool width.\n"
	"    The second data field is outer diameter.\n"
	"    The third data field is hub diameter.\n"
	"\n"
	"The line width can also be stored to a separate plain text file.\n"
	"Enter the line width value in the first line of the file.\n"
	"\n"
	"After loading data from a file, hit the Update button\n";

Fl_Double_Window *help_window()
{
	Win2 = new Fl_Double_Window(505, 320, "Help");
	Win2->xclass("merrivane");
	T1 = new Fl_Text_Display(14, 15, 481, 295);
	Win2->end();
	return Win2;
}

void Build_Help()
{
	help_window();
	T1->buffer(&txt);
	T1->insert(HELP_TEXT);
}

void cb_Help(Fl_Widget *, void *)
{
	Win2->show();
}
