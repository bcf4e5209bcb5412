#include "ui/ui.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Check_Button.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input_.H>
#include <FL/Fl_Menu_Button.H>
#include <FL/Fl_Text_Display.H>
#include <FL/Fl_Value_Input.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Window.H>

/* What assistive technology is told of the widgets, on every platform:
 * each widget's role, name, text and states, the order a screen reader
 * walks them in, and what changed since the last look. The bridges,
 * a11y_atk.cpp and a11y_msaa.cpp, only translate. A node is a widget, or a
 * line of a browser (the chooser's file list). */

template <class T> static T *As(Fl_Widget *w) { return dynamic_cast<T *>(w); }

/* A group without a label holds its children for layout only: they are
 * told as its parent's. Lists, the help text and windows keep theirs. */
static int Spliced(Fl_Widget *w)
{
	return w->as_group() && !w->as_window() && !As<Fl_Browser>(w) && !As<Fl_Text_Display>(w) &&
		(!w->label() || !*w->label());
}

/* whether a widget is told at all: shown, and more than decoration */
static int Told(Fl_Widget *w)
{
	if (!w->visible())
		return 0;
	if (As<Fl_Browser>(w) || As<Fl_Text_Display>(w) || As<Fl_Valuator>(w) || As<Fl_Input_>(w) ||
		As<Fl_Button>(w) || As<Fl_Menu_>(w) || w->as_window())
		return 1;
	/* a label that is only one of FLTK's symbols (@fileopen) is a picture */
	return w->label() && *w->label() && *w->label() != '@' && !w->as_group();
}

int A11y_Role(A11y_Node n)
{
	Fl_Widget *w = n.w;
	if (!w)
		return A11Y_APP;
	if (n.item)
		return A11Y_ITEM;
	if (w->as_window())
		return A11Y_WINDOW;
	if (As<Fl_Browser>(w))
		return A11Y_LIST;
	if (As<Fl_Text_Display>(w))
		return A11Y_DOCUMENT;
	if (As<Fl_Value_Output>(w))
		return A11Y_OUTPUT;
	if (As<Fl_Valuator>(w))
		return A11Y_ENTRY;
	if (Fl_Input_ *in = As<Fl_Input_>(w))
		return in->readonly() ? A11Y_OUTPUT : A11Y_ENTRY;
	if (As<Fl_Check_Button>(w))
		return A11Y_CHECK;
	if (As<Fl_Button>(w))
		return A11Y_BUTTON;
	if (As<Fl_Choice>(w))
		return A11Y_COMBO;
	if (As<Fl_Menu_Button>(w))
		return A11Y_BUTTON;
	return A11Y_LABEL;
}

/* A label as read: FLTK's '&' before a shortcut letter left out. */
static std::string Plain(const char *label)
{
	std::string s;
	for (const char *p = label ? label : ""; *p; p++) {
		if (*p == '&' && p[1] != '&')
			continue;
		s += *p == '&' ? *p++ : *p;
	}
	return s;
}

/* a browser line without its formatting codes (@b, @C4 and the like) */
static std::string Line(Fl_Browser *b, int line)
{
	const char *t = b->text(line);
	if (!t)
		return "";
	while (*t == '@' && t[1] && t[1] != '@') {
		t++;
		/* the codes that take a number */
		if (strchr("CBFSB", *t))
			while (t[1] >= '0' && t[1] <= '9')
				t++;
		t++;
	}
	return t;
}

std::string A11y_Name(A11y_Node n)
{
	if (!n.w)
		return "merrivane";
	if (n.item)
		return Line(As<Fl_Browser>(n.w), n.item);
	std::string name = Plain(n.w->label());
	if (name.empty() && n.w->tooltip())
		name = n.w->tooltip();
	/* a label ending in a colon, as the chooser's, is read without it */
	if (!name.empty() && name.back() == ':')
		name.pop_back();
	/* a field without a label of its own is named by the label on its
	 * left, as the chooser's file name is */
	int role = A11y_Role(n);
	A11y_Node p = A11y_Parent(n);
	for (int i = 0; name.empty() && (role == A11Y_ENTRY || role == A11Y_OUTPUT) && i < A11y_Child_Count(p); i++) {
		Fl_Widget *l = A11y_Child(p, i).w, *f = n.w;
		if (A11y_Role({l, 0}) == A11Y_LABEL && l->x() + l->w() <= f->x() + 2 && l->y() < f->y() + f->h() &&
			l->y() + l->h() > f->y())
			name = Plain(l->label());
	}
	if (!name.empty() && name.back() == ':')
		name.pop_back();
	return name;
}

std::string A11y_Text(A11y_Node n)
{
	Fl_Widget *w = n.w;
	if (!w)
		return "";
	if (n.item)
		return A11y_Name(n);
	if (Fl_Value_Input *v = As<Fl_Value_Input>(w))
		return v->input.value();
	if (Fl_Valuator *v = As<Fl_Valuator>(w)) {
		char buf[128];
		v->format(buf);
		return buf;
	}
	if (Fl_Input_ *in = As<Fl_Input_>(w))
		return in->value();
	if (Fl_Text_Display *t = As<Fl_Text_Display>(w)) {
		if (!t->buffer())
			return "";
		char *all = t->buffer()->text();
		std::string s = all;
		free(all);
		return s;
	}
	if (Fl_Choice *c = As<Fl_Choice>(w))
		return c->text() ? c->text() : "";
	if (Fl_Browser *b = As<Fl_Browser>(w))
		return b->value() ? Line(b, b->value()) : "";
	return A11y_Name(n);
}

/* The widget holding the keyboard: the field itself for the input inside a
 * number field. */
static Fl_Widget *Focus_Widget()
{
	Fl_Widget *f = Fl::focus();
	if (f && f->parent() && As<Fl_Value_Input>(f->parent()))
		f = f->parent();
	return f;
}

A11y_Node A11y_Focus()
{
	Fl_Widget *f = Focus_Widget();
	if (Fl_Browser *b = f ? As<Fl_Browser>(f) : nullptr)
		if (b->value())
			return {f, b->value()};
	return {f, 0};
}

unsigned A11y_States(A11y_Node n)
{
	Fl_Widget *w = n.w;
	if (!w)
		return A11Y_SHOWING | A11Y_SENSITIVE;
	unsigned s = 0;
	int role = A11y_Role(n);
	if (w->active_r())
		s |= A11Y_SENSITIVE;
	if (w->visible_r())
		s |= A11Y_SHOWING;
	A11y_Node f = A11y_Focus();
	if (f.w == w && f.item == n.item)
		s |= A11Y_FOCUSED;
	if (n.item) {
		Fl_Browser *b = As<Fl_Browser>(w);
		s |= A11Y_SELECTABLE | (b->selected(n.item) ? A11Y_SELECTED : 0);
		return s;
	}
	if (role == A11Y_WINDOW) {
		Fl_Widget *focus = Fl::focus();
		if (focus && (focus == w || focus->top_window() == w))
			s |= A11Y_ACTIVE;
		return s;
	}
	if (role != A11Y_LABEL && role != A11Y_OUTPUT && w->visible_focus())
		s |= A11Y_FOCUSABLE;
	if (role == A11Y_ENTRY)
		s |= A11Y_EDITABLE;
	if (role == A11Y_OUTPUT || role == A11Y_DOCUMENT)
		s |= A11Y_READ_ONLY;
	if (role == A11Y_DOCUMENT)
		s |= A11Y_MULTI_LINE | A11Y_FOCUSABLE;
	if (role == A11Y_CHECK && As<Fl_Button>(w)->value())
		s |= A11Y_CHECKED;
	return s;
}

static const int ROOM = 64;

/* The told children of g, groups kept for layout spliced in, in order:
 * depth first, with the groups yet to finish on a stack. */
static void Gather(Fl_Group *g, Fl_Widget **out, int *count, int room)
{
	struct {
		Fl_Group *g;
		int next;
	} stack[16];
	int depth = 0;
	stack[0] = {g, 0};
	while (depth >= 0) {
		if (stack[depth].next >= stack[depth].g->children()) {
			depth--;
			continue;
		}
		Fl_Widget *c = stack[depth].g->child(stack[depth].next++);
		if (!c->visible())
			continue;
		if (Spliced(c) && depth + 1 < 16)
			stack[++depth] = {c->as_group(), 0};
		else if (Told(c) && *count < room)
			out[(*count)++] = c;
	}
}

static int Children(A11y_Node n, Fl_Widget **out)
{
	int count = 0;
	if (!n.w) {
		for (Fl_Window *w = Fl::first_window(); w && count < ROOM; w = Fl::next_window(w))
			if (!w->parent())
				out[count++] = w;
		/* in the order they were made, as a reader lists them */
		for (int i = 0; i < count / 2; i++)
			std::swap(out[i], out[count - 1 - i]);
		return count;
	}
	if (n.item || As<Fl_Browser>(n.w) || As<Fl_Text_Display>(n.w) || !n.w->as_group())
		return 0;
	Gather(n.w->as_group(), out, &count, ROOM);
	return count;
}

int A11y_Child_Count(A11y_Node n)
{
	if (Fl_Browser *b = n.w && !n.item ? As<Fl_Browser>(n.w) : nullptr)
		return b->size();
	Fl_Widget *c[ROOM];
	return Children(n, c);
}

A11y_Node A11y_Child(A11y_Node n, int i)
{
	if (Fl_Browser *b = n.w && !n.item ? As<Fl_Browser>(n.w) : nullptr)
		return i >= 0 && i < b->size() ? A11y_Node{n.w, i + 1} : A11y_Node{nullptr, -1};
	Fl_Widget *c[ROOM];
	int count = Children(n, c);
	return i >= 0 && i < count ? A11y_Node{c[i], 0} : A11y_Node{nullptr, -1};
}

A11y_Node A11y_Parent(A11y_Node n)
{
	if (!n.w)
		return {nullptr, -1};
	if (n.item)
		return {n.w, 0};
	Fl_Widget *p = n.w->parent();
	while (p && Spliced(p))
		p = p->parent();
	return {p, 0};
}

int A11y_Index(A11y_Node n)
{
	if (n.item)
		return n.item - 1;
	A11y_Node p = A11y_Parent(n);
	for (int i = 0, count = A11y_Child_Count(p); i < count; i++)
		if (A11y_Child(p, i).w == n.w)
			return i;
	return -1;
}

/* FLTK 1.4 draws at the screen's scale; the desktop counts in its pixels. */
static float Scale(Fl_Widget *w)
{
#if FL_API_VERSION >= 10400
	Fl_Window *win = w->as_window() ? w->as_window() : w->top_window();
	return win ? Fl::screen_scale(win->screen_num()) : 1;
#else
	(void)w;
	return 1;
#endif
}

void A11y_Extents(A11y_Node n, int *x, int *y, int *w, int *h)
{
	Fl_Widget *wd = n.w;
	*x = *y = *w = *h = 0;
	if (!wd)
		return;
	Fl_Window *win = wd->as_window() ? wd->as_window() : wd->window();
	int wx = win ? win->x_root() : 0, wy = win ? win->y_root() : 0;
	int left = wd->as_window() ? 0 : wd->x(), top = wd->as_window() ? 0 : wd->y();
	float s = Scale(wd);
	*x = (int)(static_cast<float>(wx + left) * s);
	*y = (int)(static_cast<float>(wy + top) * s);
	*w = (int)(static_cast<float>(wd->w()) * s);
	*h = (int)(static_cast<float>(wd->h()) * s);
}

int A11y_Act(A11y_Node n)
{
	Fl_Widget *w = n.w;
	if (!w || !w->active_r())
		return 0;
	if (n.item) {
		Fl_Browser *b = As<Fl_Browser>(w);
		b->value(n.item);
		b->do_callback();
		return 1;
	}
	int role = A11y_Role(n);
	if (role == A11Y_CHECK) {
		Fl_Button *b = As<Fl_Button>(w);
		b->value(!b->value());
		b->do_callback();
		return 1;
	}
	if (role == A11Y_BUTTON && !As<Fl_Menu_>(w)) {
		w->do_callback();
		return 1;
	}
	if (role == A11Y_ENTRY || role == A11Y_DOCUMENT || role == A11Y_LIST)
		return w->take_focus();
	return 0;
}

/* The action waits for FLTK's loop: a button may open a window, which
 * should not happen inside a screen reader's call. */
static Fl_Widget *pending;
static int pending_item;

static void Act_Now(void *)
{
	if (pending)
		A11y_Act({pending, pending_item});
	Fl::release_widget_pointer(pending);
	pending = nullptr;
}

int A11y_Act_Later(A11y_Node n)
{
	if (!n.w || !n.w->active_r())
		return 0;
	Fl::release_widget_pointer(pending);
	pending = n.w;
	pending_item = n.item;
	Fl::watch_widget_pointer(pending);
	Fl::add_timeout(0, Act_Now);
	return 1;
}

int A11y_Set_Text(A11y_Node n, const char *text)
{
	Fl_Widget *w = n.w;
	if (!w || n.item || A11y_Role(n) != A11Y_ENTRY || !w->active_r())
		return 0;
	if (Fl_Value_Input *v = As<Fl_Value_Input>(w)) {
		v->input.value(text);
		v->input.do_callback();
		return 1;
	}
	Fl_Input_ *in = As<Fl_Input_>(w);
	in->value(text);
	in->do_callback();
	return 1;
}

/* a field's caret: FLTK 1.4 renamed it */
#if FL_API_VERSION >= 10400
static int Caret_Of(Fl_Input_ *in) { return in->insert_position(); }
static void Move_Caret(Fl_Input_ *in, int byte) { in->insert_position(byte); }
#else
static int Caret_Of(Fl_Input_ *in) { return in->position(); }
static void Move_Caret(Fl_Input_ *in, int byte) { in->position(byte); }
#endif

int A11y_Caret(A11y_Node n)
{
	if (!n.w || n.item)
		return -1;
	if (Fl_Value_Input *v = As<Fl_Value_Input>(n.w))
		return Caret_Of(&v->input);
	if (Fl_Input_ *in = As<Fl_Input_>(n.w))
		return Caret_Of(in);
	if (Fl_Text_Display *d = As<Fl_Text_Display>(n.w))
		return d->insert_position();
	return -1;
}

int A11y_Set_Caret(A11y_Node n, int byte)
{
	if (!n.w || n.item)
		return 0;
	if (Fl_Value_Input *v = As<Fl_Value_Input>(n.w))
		Move_Caret(&v->input, byte);
	else if (Fl_Input_ *in = As<Fl_Input_>(n.w))
		Move_Caret(in, byte);
	else if (Fl_Text_Display *d = As<Fl_Text_Display>(n.w))
		d->insert_position(byte);
	else
		return 0;
	return 1;
}

/* What was seen at the last look: the focus, and each told widget's text
 * and states with its window, which says when it is gone: a widget may be
 * deleted with its window (the chooser's are), so none is touched then. */
struct Seen {
	std::string text;
	unsigned states;
	int caret;
	// cppcheck-suppress unusedStructMember ; read through the map's iterator in A11y_Look
	Fl_Widget *top;
};
static A11y_Node last_focus = {nullptr, -1};
static std::map<Fl_Widget *, Seen> seen;

/* Every told node below the program, depth first, with the nodes yet to
 * look into on a stack. */
static void Look_At(void (*told)(A11y_Node, int))
{
	std::vector<A11y_Node> todo(1, A11y_Node{nullptr, 0});
	while (!todo.empty()) {
		A11y_Node n = todo.back();
		todo.pop_back();
		Fl_Widget *c[ROOM];
		int count = Children(n, c);
		for (int i = count - 1; i >= 0; i--)
			todo.push_back({c[i], 0});
		if (!n.w)
			continue;
		Seen now = {A11y_Role(n) == A11Y_DOCUMENT ? "" : A11y_Text(n), A11y_States(n) & ~A11Y_FOCUSED, A11y_Caret(n),
			n.w->as_window() ? n.w : n.w->top_window()};
		auto was = seen.find(n.w);
		if (was == seen.end()) {
			seen[n.w] = now;
			if (n.w->as_window())
				told(n, A11Y_SHOWN);
			continue;
		}
		if (was->second.text != now.text)
			told(n, A11Y_TEXT_CHANGED);
		if (was->second.states != now.states)
			told(n, A11Y_STATES_CHANGED);
		if (was->second.caret != now.caret)
			told(n, A11Y_CARET_MOVED);
		was->second = now;
	}
}

void A11y_Look(void (*told)(A11y_Node, int))
{
	/* windows gone since: told, and forgotten with all they held */
	Fl_Widget *shown[ROOM];
	int count = Children({nullptr, 0}, shown);
	for (auto i = seen.begin(); i != seen.end();) {
		int still = 0;
		for (int j = 0; j < count && !still; j++)
			still = i->second.top == shown[j];
		if (!still) {
			if (i->first == i->second.top)
				told({i->first, 0}, A11Y_HIDDEN);
			i = seen.erase(i);
		} else {
			++i;
		}
	}
	Look_At(told);
	A11y_Node f = A11y_Focus();
	if (f.w != last_focus.w || f.item != last_focus.item) {
		last_focus = f;
		if (f.w)
			told(f, A11Y_FOCUS_CHANGED);
	}
}
