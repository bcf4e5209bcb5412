#ifndef MERRIVANE_UI_H
#define MERRIVANE_UI_H

class Fl_Double_Window;
class Fl_Text_Display;
class Fl_Value_Input;
class Fl_Value_Output;
class Fl_Widget;

/* Set once while the windows are built, never changed. Lengths in inches,
 * CAP in yards. */
extern Fl_Double_Window *Win1;
extern Fl_Double_Window *Win2;
extern Fl_Text_Display *T1;
extern Fl_Value_Input *SW;
extern Fl_Value_Input *OD;
extern Fl_Value_Input *ID;
extern Fl_Value_Input *LW;
extern Fl_Value_Output *CAP;

extern const char HELP_TEXT[];

/* The window icon, RGBA rows top to bottom. */
constexpr int ICON_SIZE = 48;
extern const unsigned char ICON_PIXELS[ICON_SIZE * ICON_SIZE * 4];

/* CAP's text sizes: as laid out, and the smallest it shrinks to. */
constexpr int CAP_TEXT_SIZE = 14;
constexpr int CAP_MIN_TEXT_SIZE = 8;

Fl_Double_Window *make_window();
Fl_Double_Window *help_window();
/* Builds the hidden help window and fills it with HELP_TEXT. */
void Build_Help();

void cb_SW(Fl_Widget *, void *);
void cb_OD(Fl_Widget *, void *);
void cb_ID(Fl_Widget *, void *);
void cb_LW(Fl_Widget *, void *);
void cb_Help(Fl_Widget *, void *);

/* Makes CAP's value fit its box: one decimal at the largest text size that
 * fits, down to CAP_MIN_TEXT_SIZE, else exponent form. Only once the main
 * window is shown, since measuring text needs the display. */
void Fit_Capacity();

#endif
