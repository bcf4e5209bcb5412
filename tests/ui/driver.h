#ifndef MERRIVANE_DRIVER_H
#define MERRIVANE_DRIVER_H

#include <functional>
#include <string>

class Fl_Widget;
class Fl_Window;

/* Shows w and returns once the server has mapped and exposed it. */
void Show_Mapped(Fl_Window *w);

/* Runs `xdotool ARGS` as real input while the FLTK loop keeps running;
 * "%W" in ARGS stands for the X window id of the window given. Returns
 * xdotool's exit status. On Windows the same words become Windows input:
 * mousemove --window %W X Y, click 1, and key with chords of ctrl, shift,
 * plus, minus and digits; 0, or 1 for any other word. */
int Xdo(Fl_Window *w, const std::string &args);

/* Clicks the middle of widget o in its window. */
int Click(Fl_Widget *o);

/* Runs the FLTK loop until done() holds or seconds pass; returns done(). */
bool Poll(const std::function<bool()> &done, double seconds = 10);

/* The scale FLTK draws the screen at, or 0 where it never scales (1.3). */
float Screen_Scale();

/* A window's width in the screen's pixels. */
int Device_Width(Fl_Window *w);

/* What a valuator shows, e.g. "6.1". */
std::string Shown(Fl_Widget *valuator);

#endif
