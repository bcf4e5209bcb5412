#ifndef MERRIVANE_UI_H
#define MERRIVANE_UI_H

class Fl_Double_Window;
class Fl_Value_Input;
class Fl_Value_Output;
class Fl_Widget;

/* Set once while the windows are built, never changed. Lengths in inches,
 * CAP in yards. */
extern Fl_Double_Window *Win1;
extern Fl_Value_Input *SW;
extern Fl_Value_Input *OD;
extern Fl_Value_Input *ID;
extern Fl_Value_Input *LW;
extern Fl_Value_Output *CAP;

Fl_Double_Window *make_window();

void cb_SW(Fl_Widget *, void *);
void cb_OD(Fl_Widget *, void *);
void cb_ID(Fl_Widget *, void *);
void cb_LW(Fl_Widget *, void *);
void cb_Help(Fl_Widget *, void *);

#endif
