#include "x11_driver.h"

#include <chrono>
#include <spawn.h>
#include <sys/wait.h>

#include <FL/Fl.H>
#include <FL/Fl_Valuator.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

extern char **environ;

void Show_Mapped(Fl_Window *w)
{
	w->show();
	w->wait_for_expose();
	Fl::check();
}

static std::string Expand(Fl_Window *w, std::string args)
{
	std::string id = std::to_string(fl_xid(w));
	for (size_t at; (at = args.find("%W")) != std::string::npos;)
		args.replace(at, 2, id);
	return args;
}

int Xdo(Fl_Window *w, const std::string &args)
{
	std::string cmd = "xdotool " + Expand(w, args);
	char *argv[] = {(char *)"sh", (char *)"-c", (char *)cmd.c_str(), nullptr};
	pid_t pid;
	if (posix_spawnp(&pid, "sh", nullptr, nullptr, argv, environ) != 0)
		return -1;

	int status = 0;
	while (waitpid(pid, &status, WNOHANG) == 0)
		Fl::wait(0.01);
	/* a round trip, so every event xdotool caused has reached this client */
	XSync(fl_display, False);
	Fl::check();
	return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

float Screen_Scale()
{
#if FL_API_VERSION >= 10400
	return Fl::screen_scale(0);
#else
	return 0;
#endif
}

int Device_Width(Fl_Window *w)
{
	XWindowAttributes a;
	return XGetWindowAttributes(fl_display, fl_xid(w), &a) ? a.width : -1;
}

/* xdotool places the pointer in the server's pixels */
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
