#include "ui/ui.h"

#include <algorithm>

#include <FL/Fl.H>
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

/* The help text read line by line from the keyboard: Up and Down move its
 * (unseen) caret a line, Home and End to the first and the last, and the
 * text scrolls to keep it in view, as the scroll bar's keys did; screen
 * readers read the line the caret is on. Seen before the text display,
 * whose scroll bar would take the keys. */
static Fl_Event_Dispatch next_dispatch;

static int Help_Keys(int event, Fl_Window *w)
{
	if (event == FL_KEYDOWN && Fl::focus() == T1 && !(Fl::event_state() & (FL_CTRL | FL_ALT | FL_META))) {
		Fl_Text_Buffer *b = T1->buffer();
		int at = T1->insert_position(), moved = 1;
		switch (Fl::event_key()) {
		case FL_Up: at = at > 0 ? b->line_start(b->line_start(at) - 1) : 0; break;
		case FL_Down: at = std::min(b->line_end(at) + 1, b->length()); break;
		case FL_Home: at = 0; break;
		case FL_End: at = b->line_start(b->length()); break;
		default: moved = 0;
		}
		if (moved) {
			T1->insert_position(at);
			T1->show_insert_position();
			return 1;
		}
	}
	return next_dispatch ? next_dispatch(event, w) : Fl::handle_(event, w);
}

void Build_Help()
{
	help_window();
	T1->buffer(&txt);
	T1->insert(HELP_TEXT);
	T1->insert_position(0);
	next_dispatch = Fl::event_dispatch();
	Fl::event_dispatch(Help_Keys);
}

void cb_Help(Fl_Widget *, void *)
{
	Win2->show();
}
