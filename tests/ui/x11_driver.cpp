#include "driver.h"

#include <spawn.h>
#include <sys/wait.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>

extern char **environ;

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

int Device_Width(Fl_Window *w)
{
	XWindowAttributes a;
	return XGetWindowAttributes(fl_display, fl_xid(w), &a) ? a.width : -1;
}
