#include "driver.h"

#include <chrono>

#include <FL/Fl.H>
#include <FL/Fl_Valuator.H>
#include <FL/Fl_Window.H>

void Show_Mapped(Fl_Window *w)
{
	w->show();
	w->wait_for_expose();
	Fl::check();
}

float Screen_Scale()
{
#if FL_API_VERSION >= 10400
	return Fl::screen_scale(0);
#else
	return 0;
#endif
}

/* input lands in the screen's pixels */
int Click(Fl_Widget *o)
{
	float scale = Screen_Scale() ? Screen_Scale() : 1;
	return Xdo(o->window(), "mousemove --window %W " +
		std::to_string((int)((o->x() + o->w() / 2) * scale)) + " " +
		std::to_string((int)((o->y() + o->h() / 2) * scale)) + " click 1");
}

bool Poll(const std::function<bool()> &done, double seconds)
{
	auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
	while (!done() && std::chrono::steady_clock::now() < end)
		Fl::wait(0.01);
	return done();
}

std::string Shown(Fl_Widget *valuator)
{
	char text[128];
	((Fl_Valuator *)valuator)->format(text);
	return text;
}
