#include <FL/Fl.H>
#include <FL/Fl_Double_Window.H>

#include "ui/ui.h"

int main(int, char **)
{
	make_window()->show();
	Build_Help();
	A11y_Start();
	return Fl::run();
}
