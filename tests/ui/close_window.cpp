/* Asks window ARGV[1] (an X id) to close, as a window manager's close box
 * does: a WM_DELETE_WINDOW client message. */
#include <cstdlib>

#include <X11/Xlib.h>

int main(int argc, char **argv)
{
	if (argc != 2)
		return 2;
	Display *d = XOpenDisplay(nullptr);
	if (!d)
		return 1;
	XEvent e = {};
	e.xclient.type = ClientMessage;
	e.xclient.window = strtoul(argv[1], nullptr, 0);
	e.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
	e.xclient.format = 32;
	e.xclient.data.l[0] = XInternAtom(d, "WM_DELETE_WINDOW", False);
	e.xclient.data.l[1] = CurrentTime;
	XSendEvent(d, e.xclient.window, False, NoEventMask, &e);
	XSync(d, False);
	XCloseDisplay(d);
	return 0;
}
