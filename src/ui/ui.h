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

Fl_Double_Window *make_window();
Fl_Double_Window *help_window();
/* Builds the hidden help window and fills it with HELP_TEXT. */
void Build_Help();

void cb_SW(Fl_Widget *, void *);
void cb_OD(Fl_Widget *, void *);
void cb_ID(Fl_Widget *, void *);
void cb_LW(Fl_Widget *, void *);
void cb_Help(Fl_Widget *, void *);

#endif
