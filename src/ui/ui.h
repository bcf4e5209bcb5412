#ifndef MERRIVANE_UI_H
#define MERRIVANE_UI_H

#include <string>

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

/* Assistive technology. A node is a widget, or line item (from 1) of a
 * browser; {nullptr, 0} is the program itself. a11y.cpp says what both
 * platforms' bridges tell of each; a11y_atk.cpp (AT-SPI, through ATK) and
 * a11y_msaa.cpp (MSAA) tell it. */
struct A11y_Node {
	Fl_Widget *w;
	int item;
};
enum { A11Y_APP, A11Y_WINDOW, A11Y_LABEL, A11Y_ENTRY, A11Y_OUTPUT, A11Y_BUTTON, A11Y_CHECK, A11Y_COMBO,
	A11Y_LIST, A11Y_ITEM, A11Y_DOCUMENT };
enum {
	A11Y_FOCUSABLE = 1, A11Y_FOCUSED = 2, A11Y_EDITABLE = 4, A11Y_READ_ONLY = 8, A11Y_CHECKED = 16,
	A11Y_SELECTED = 32, A11Y_SENSITIVE = 64, A11Y_SHOWING = 128, A11Y_MULTI_LINE = 256,
	A11Y_SELECTABLE = 512, A11Y_ACTIVE = 1024
};
/* what A11y_Look tells of a node */
enum { A11Y_SHOWN, A11Y_HIDDEN, A11Y_FOCUS_CHANGED, A11Y_TEXT_CHANGED, A11Y_STATES_CHANGED, A11Y_CARET_MOVED };
int A11y_Role(A11y_Node n);
std::string A11y_Name(A11y_Node n);
/* the value as shown, or the whole text */
std::string A11y_Text(A11y_Node n);
unsigned A11y_States(A11y_Node n);
int A11y_Child_Count(A11y_Node n);
/* {nullptr, -1} past the last */
A11y_Node A11y_Child(A11y_Node n, int i);
A11y_Node A11y_Parent(A11y_Node n);
int A11y_Index(A11y_Node n);
A11y_Node A11y_Focus();
/* in the desktop's pixels */
void A11y_Extents(A11y_Node n, int *x, int *y, int *w, int *h);
/* The node's one action: press, toggle, pick, or take the focus; 0 where
 * it has none. */
int A11y_Act(A11y_Node n);
/* The same once FLTK's loop is back; 0 where the node cannot act. */
int A11y_Act_Later(A11y_Node n);
/* The caret's byte offset in the node's text, -1 where it has none; and
 * moving it, 0 where it cannot move. */
int A11y_Caret(A11y_Node n);
int A11y_Set_Caret(A11y_Node n, int byte);
/* Sets an editable field's text as typing it would; 0 where it is none. */
int A11y_Set_Text(A11y_Node n, const char *text);
/* Calls told for each change since the last look: windows shown and
 * hidden, text and states, and the focus last. */
void A11y_Look(void (*told)(A11y_Node, int));
/* Starts telling assistive technology, where the desktop asks for it. */
void A11y_Start();

#endif
