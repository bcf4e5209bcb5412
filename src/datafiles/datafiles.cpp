#include "datafiles/datafiles.h"

void cb_Spool(Fl_Widget *, void *) {}
void cb_Line(Fl_Widget *, void *) {}
void cb_Update(Fl_Widget *, void *) {}
