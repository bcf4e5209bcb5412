#ifndef MERRIVANE_DATAFILES_H
#define MERRIVANE_DATAFILES_H

class Fl_Widget;

void cb_Spool(Fl_Widget *, void *);
void cb_Line(Fl_Widget *, void *);
void cb_Update(Fl_Widget *, void *);

#endif
