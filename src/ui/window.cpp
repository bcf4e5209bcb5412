#include "ui/ui.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/fl_draw.H>

#include "capacity/capacity.h"
#include "datafiles/datafiles.h"

Fl_Double_Window *Win1;
Fl_Value_Input *SW;
Fl_Value_Input *OD;
Fl_Value_Input *ID;
Fl_Value_Input *LW;
Fl_Value_Output *CAP;

void cb_SW(Fl_Widget *, void *) { calc(); }
void cb_OD(Fl_Widget *, void *) { calc(); }
void cb_ID(Fl_Widget *, void *) { calc(); }
void cb_LW(Fl_Widget *, void *) { calc(); }

static Fl_Value_Input *dimension(int y, const char *label, Fl_Callback *cb)
{
	Fl_Value_Input *o = new Fl_Value_Input(187, y, 75, 24, label);
	o->labelfont(1);
	o->labelcolor(4);
	o->callback(cb);
	return o;
}

static Fl_Button *button(int x, int y, int w, int h, const char *label, Fl_Callback *cb)
{
	Fl_Button *o = new Fl_Button(x, y, w, h, label);
	o->callback(cb);
	return o;
}

Fl_Double_Window *make_window()
{
	/* every window of the program, so docks group them as one */
	Fl_Window::default_xclass("merrivane");
	Win1 = new Fl_Double_Window(385, 290, "Merrivane");
	Fl_RGB_Image icon(ICON_PIXELS, ICON_SIZE, ICON_SIZE, 4);
	Win1->icon(&icon);
	Win1->color((Fl_Color)34);
	Win1->labelfont(1);
	SW = dimension(36, "spool width (in)", cb_SW);
	OD = dimension(79, "outer diameter (in)", cb_OD);
	ID = dimension(122, "hub diameter (in)", cb_ID);
	LW = dimension(165, "line width (in)", cb_LW);
	CAP = new Fl_Value_Output(187, 209, 75, 24, "capacity (yds)");
	CAP->color((Fl_Color)51);
	CAP->labelfont(1);
	CAP->labelcolor(4);
	CAP->step(0.1);
	CAP->set_output(); /* shown, never dragged to another value */
	button(282, 38, 80, 22, "Spool File", cb_Spool)->labelsize(12);
	button(282, 168, 80, 22, "Line File", cb_Line)->labelsize(12);
	button(282, 211, 80, 22, "Update", cb_Update)->labelsize(12);
	button(14, 254, 60, 20, "Help", cb_Help);
	Win1->end();
	return Win1;
}

static int Fits(const char *text, int size, int room)
{
	fl_font(CAP->textfont(), size);
	return fl_width(text) <= room;
}

/* Largest text size from CAP_TEXT_SIZE down at which CAP's text fits, or 0. */
static int Fitting_Size(int room)
{
	char text[128];
	CAP->format(text);
	for (int size = CAP_TEXT_SIZE; size >= CAP_MIN_TEXT_SIZE; size--)
		if (Fits(text, size, room))
			return size;
	return 0;
}

void Fit_Capacity()
{
	if (!Win1->shown())
		return;
	/* Fl_Value_Output draws inside a down box when it has none of its own */
	int room = CAP->w() - Fl::box_dw(CAP->box() ? CAP->box() : FL_DOWN_BOX);

	CAP->step(0.1);
	int size = Fitting_Size(room);
	if (!size) {
		/* step 0 formats with %g: six digits and an exponent */
		CAP->step(0);
		size = Fitting_Size(room);
		if (!size)
			size = CAP_MIN_TEXT_SIZE;
	}
	CAP->textsize(size);
	CAP->redraw();
}
