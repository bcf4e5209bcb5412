#include "driver.h"

#include <sstream>
#include <vector>

#include <windows.h>

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/platform.H>

static void Send(INPUT in)
{
	SendInput(1, &in, sizeof in);
}

static void Key(WORD vk, bool up)
{
	INPUT in{};
	in.type = INPUT_KEYBOARD;
	in.ki.wVk = vk;
	in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
	Send(in);
}

static void Button(DWORD flag)
{
	INPUT in{};
	in.type = INPUT_MOUSE;
	in.mi.dwFlags = flag;
	Send(in);
}

/* The keys a chord such as ctrl+plus presses, in order; false for a name
 * it does not know. */
static bool Chord(const std::string &chord, std::vector<WORD> &keys)
{
	std::istringstream names(chord);
	for (std::string name; std::getline(names, name, '+');) {
		if (name == "ctrl")
			keys.push_back(VK_CONTROL);
		else if (name == "shift")
			keys.push_back(VK_SHIFT);
		else if (name == "plus") /* shift and the = key, as on a US keyboard */
			keys.insert(keys.end(), {VK_SHIFT, VK_OEM_PLUS});
		else if (name == "minus")
			keys.push_back(VK_OEM_MINUS);
		else if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
			keys.push_back((WORD)name[0]);
		else
			return false;
	}
	return !keys.empty();
}

int Xdo(Fl_Window *w, const std::string &args)
{
	std::istringstream words(args);
	for (std::string word; words >> word;) {
		if (word == "mousemove") {
			std::string flag, id;
			POINT p;
			if (!(words >> flag >> id >> p.x >> p.y) || flag != "--window" || id != "%W")
				return 1;
			ClientToScreen(fl_xid(w), &p);
			SetCursorPos(p.x, p.y);
		} else if (word == "click") {
			if (!(words >> word) || word != "1")
				return 1;
			Button(MOUSEEVENTF_LEFTDOWN);
			Button(MOUSEEVENTF_LEFTUP);
		} else if (word == "key") {
			std::vector<WORD> keys;
			if (!(words >> word) || !Chord(word, keys))
				return 1;
			for (WORD k : keys)
				Key(k, false);
			for (auto k = keys.rbegin(); k != keys.rend(); ++k)
				Key(*k, true);
		} else {
			return 1;
		}
		/* what the input caused, handled before the next word */
		for (int i = 0; i < 5; i++)
			Fl::wait(0.01);
	}
	return 0;
}

int Device_Width(Fl_Window *w)
{
	RECT r;
	return GetClientRect(fl_xid(w), &r) ? r.right - r.left : -1;
}
