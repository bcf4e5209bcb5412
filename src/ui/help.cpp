#include "ui/ui.h"

void cb_Help(Fl_Widget *, void *) {}
