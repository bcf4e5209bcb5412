#include "ui/ui.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <numeric>
#include <utility>

#include <FL/Fl.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Widget.H>
#include <FL/Fl_Window.H>
#include <atk-bridge.h>
#include <atk/atk.h>
#include <gio/gio.h>

/* AT-SPI, through ATK and at-spi2-atk's bridge, for Linux desktops.
 *
 * ATK wants GObjects: an AtkObject for each node (a11y.cpp says what each
 * is), in four types that differ only in the interfaces they offer (text,
 * an action, a window's events), and ATK's AtkUtil class told where the
 * root is and how the bridge listens for events. That is the whole of the
 * GObject code, and it is kept to what GObject requires.
 *
 * GLib's main context runs inside FLTK's loop on the descriptors it polls,
 * with a timeout only where GLib asks for one: no thread, nothing while
 * idle. The bridge starts only where the desktop says assistive technology
 * is on (org.a11y.Status on the session bus), at once or when a screen
 * reader starts later, and only once the accessibility bus has answered in
 * time: a bus that does not answer leaves the window as it is. */

/* The key's code on the keyboard, where the display is X11's. */
#if FL_API_VERSION >= 10400
#include <FL/platform.H>
static int Key_Code(int keysym)
{
	Display *d = fl_x11_display();
	return d ? XKeysymToKeycode(d, (KeySym)keysym) : 0;
}
#else
#include <FL/x.H>
static int Key_Code(int keysym) { return fl_display ? XKeysymToKeycode(fl_display, (KeySym)keysym) : 0; }
#endif

/* --- GLib inside FLTK's loop --- */

static GMainContext *context;
static GPollFD fds[64];
static int nfds;

static void Iterate(void * = nullptr);
static void On_Fd(int, void *) { Iterate(); }
static void On_Timeout(void *) { Iterate(); }

/* One pass of GLib's loop, then FLTK watches the descriptors and the
 * timeout it asks for next. */
static void Iterate(void *)
{
	while (g_main_context_pending(context))
		g_main_context_iteration(context, FALSE);
	gint priority, timeout;
	g_main_context_prepare(context, &priority);
	GPollFD now[64];
	int n = g_main_context_query(context, priority, &timeout, now, 64);
	if (n > 64)
		n = 64;
	g_main_context_check(context, priority, now, 0);
	/* the same descriptors as last time, as mostly: FLTK keeps watching */
	int same = n == nfds;
	for (int i = 0; same && i < n; i++)
		same = now[i].fd == fds[i].fd && now[i].events == fds[i].events;
	for (int i = 0; !same && i < nfds; i++)
		Fl::remove_fd(fds[i].fd);
	for (int i = 0; !same && i < n; i++) {
		int when = ((now[i].events & G_IO_IN) ? FL_READ : 0) | ((now[i].events & G_IO_OUT) ? FL_WRITE : 0) |
			((now[i].events & (G_IO_PRI | G_IO_ERR | G_IO_HUP)) ? FL_EXCEPT : 0);
		Fl::add_fd(now[i].fd, when, On_Fd);
		fds[i] = now[i];
	}
	nfds = n;
	Fl::remove_timeout(On_Timeout);
	if (timeout >= 0)
		Fl::add_timeout(timeout / 1000.0, On_Timeout);
}

/* --- the accessible objects --- */

struct Mv {
	AtkObject parent;
	Fl_Widget *w; /* watched: 0 once the widget is deleted */
	int item;
	int app;
	gchar *name, *text;
};
struct Mv_Class {
	AtkObjectClass parent;
};

enum { PLAIN, TEXT, ACTION, WINDOW, KINDS };
static GType types[KINDS];
typedef std::pair<Fl_Widget *, int> Key;
static std::map<Key, Mv *> objects;
static Mv *app;
/* the last object told focused, told when the focus leaves it */
static AtkObject *focus_was;

/* GObject's casts, its instances being C structs one inside another */
static Mv *M(gpointer o) { return static_cast<Mv *>(o); }

static A11y_Node Node(AtkObject *o)
{
	Mv *m = M(o);
	return m->app ? A11y_Node{nullptr, 0} : A11y_Node{m->w, m->item};
}

static int Defunct(AtkObject *o) { return !M(o)->app && !M(o)->w; }

static int Kind(A11y_Node n)
{
	switch (A11y_Role(n)) {
	case A11Y_ENTRY:
	case A11Y_OUTPUT:
	case A11Y_DOCUMENT: return TEXT;
	case A11Y_BUTTON:
	case A11Y_CHECK:
	case A11Y_ITEM: return ACTION;
	case A11Y_WINDOW: return WINDOW;
	default: return PLAIN;
	}
}

static AtkRole Role_Of(A11y_Node n)
{
	switch (A11y_Role(n)) {
	case A11Y_APP: return ATK_ROLE_APPLICATION;
	case A11Y_WINDOW: return n.w && n.w->as_window()->modal() ? ATK_ROLE_DIALOG : ATK_ROLE_FRAME;
	case A11Y_ENTRY: return ATK_ROLE_ENTRY;
	case A11Y_OUTPUT:
	case A11Y_DOCUMENT: return ATK_ROLE_TEXT;
	case A11Y_BUTTON: return ATK_ROLE_PUSH_BUTTON;
	case A11Y_CHECK: return ATK_ROLE_CHECK_BOX;
	case A11Y_COMBO: return ATK_ROLE_COMBO_BOX;
	case A11Y_LIST: return ATK_ROLE_LIST;
	case A11Y_ITEM: return ATK_ROLE_LIST_ITEM;
	default: return ATK_ROLE_LABEL;
	}
}

/* The object for a node, made the first time it is asked for; borrowed. */
static AtkObject *Object(A11y_Node n)
{
	if (!n.w)
		return n.item < 0 ? nullptr : ATK_OBJECT(app);
	Key key(n.w, n.item);
	auto found = objects.find(key);
	if (found != objects.end() && found->second->w == n.w)
		return ATK_OBJECT(found->second);
	if (found != objects.end()) { /* its widget deleted, another in its place */
		if (focus_was == ATK_OBJECT(found->second))
			focus_was = nullptr;
		g_object_unref(found->second);
	}
	Mv *m = M(g_object_new(types[Kind(n)], nullptr));
	m->w = n.w;
	m->item = n.item;
	Fl::watch_widget_pointer(m->w);
	atk_object_initialize(ATK_OBJECT(m), nullptr);
	/* ATK tells no change of a description first set from none */
	atk_object_set_description(ATK_OBJECT(m), "");
	objects[key] = m;
	return ATK_OBJECT(m);
}

static const gchar *Name(AtkObject *o)
{
	Mv *m = M(o);
	if (Defunct(o))
		return "";
	g_free(m->name);
	m->name = g_strdup(A11y_Name(Node(o)).c_str());
	return m->name;
}

static AtkObject *Parent(AtkObject *o) { return Defunct(o) || M(o)->app ? nullptr : Object(A11y_Parent(Node(o))); }
static gint Child_Count(AtkObject *o) { return Defunct(o) ? 0 : A11y_Child_Count(Node(o)); }
static gint Index(AtkObject *o) { return Defunct(o) || M(o)->app ? -1 : A11y_Index(Node(o)); }
static AtkRole Role(AtkObject *o) { return Defunct(o) ? ATK_ROLE_INVALID : Role_Of(Node(o)); }

static AtkObject *Child(AtkObject *o, gint i)
{
	AtkObject *c = Defunct(o) ? nullptr : Object(A11y_Child(Node(o), i));
	return c ? ATK_OBJECT(g_object_ref(c)) : nullptr;
}

static AtkStateSet *States(AtkObject *o)
{
	AtkStateSet *set = atk_state_set_new();
	if (Defunct(o)) {
		atk_state_set_add_state(set, ATK_STATE_DEFUNCT);
		return set;
	}
	static const struct {
		unsigned ours;
		AtkStateType atk, also;
	} map[] = {
		{A11Y_FOCUSABLE, ATK_STATE_FOCUSABLE, ATK_STATE_FOCUSABLE},
		{A11Y_FOCUSED, ATK_STATE_FOCUSED, ATK_STATE_FOCUSED},
		{A11Y_EDITABLE, ATK_STATE_EDITABLE, ATK_STATE_EDITABLE},
		{A11Y_READ_ONLY, ATK_STATE_READ_ONLY, ATK_STATE_READ_ONLY},
		{A11Y_CHECKED, ATK_STATE_CHECKED, ATK_STATE_CHECKED},
		{A11Y_SELECTED, ATK_STATE_SELECTED, ATK_STATE_SELECTED},
		{A11Y_SELECTABLE, ATK_STATE_SELECTABLE, ATK_STATE_SELECTABLE},
		{A11Y_SENSITIVE, ATK_STATE_SENSITIVE, ATK_STATE_ENABLED},
		{A11Y_SHOWING, ATK_STATE_SHOWING, ATK_STATE_VISIBLE},
		{A11Y_MULTI_LINE, ATK_STATE_MULTI_LINE, ATK_STATE_MULTI_LINE},
		{A11Y_ACTIVE, ATK_STATE_ACTIVE, ATK_STATE_ACTIVE},
	};
	A11y_Node n = Node(o);
	unsigned s = A11y_States(n);
	for (const auto &m : map)
		if (s & m.ours) {
			atk_state_set_add_state(set, m.atk);
			atk_state_set_add_state(set, m.also);
		}
	int role = A11y_Role(n);
	if (role == A11Y_ENTRY || role == A11Y_OUTPUT)
		atk_state_set_add_state(set, ATK_STATE_SINGLE_LINE);
	if (role == A11Y_CHECK)
		atk_state_set_add_state(set, ATK_STATE_CHECKABLE);
	return set;
}

static void Finalize(GObject *g)
{
	Mv *m = M(g);
	if (!m->app)
		Fl::release_widget_pointer(m->w);
	g_free(m->name);
	g_free(m->text);
	G_OBJECT_CLASS(g_type_class_peek_parent(G_OBJECT_GET_CLASS(g)))->finalize(g);
}

static void Class_Init(gpointer klass, gpointer)
{
	AtkObjectClass *c = ATK_OBJECT_CLASS(klass);
	c->get_name = Name;
	c->get_parent = Parent;
	c->get_n_children = Child_Count;
	c->ref_child = Child;
	c->get_index_in_parent = Index;
	c->get_role = Role;
	c->ref_state_set = States;
	G_OBJECT_CLASS(klass)->finalize = Finalize;
}

/* AtkComponent: where it is, and the focus */
static void Extents(AtkComponent *c, gint *x, gint *y, gint *w, gint *h, AtkCoordType coords)
{
	A11y_Node n = Node(ATK_OBJECT(c));
	if (Defunct(ATK_OBJECT(c)) || !n.w) {
		*x = *y = *w = *h = 0;
		return;
	}
	A11y_Extents(n, x, y, w, h);
	if (coords == ATK_XY_WINDOW && !n.w->as_window()) {
		int wx, wy, ww, wh;
		A11y_Extents({n.w->top_window(), 0}, &wx, &wy, &ww, &wh);
		*x -= wx;
		*y -= wy;
	}
}

static gboolean Grab_Focus(AtkComponent *c)
{
	A11y_Node n = Node(ATK_OBJECT(c));
	return !Defunct(ATK_OBJECT(c)) && n.w && !n.item && n.w->take_focus();
}

static void Component_Init(gpointer iface, gpointer)
{
	AtkComponentIface *i = static_cast<AtkComponentIface *>(iface);
	i->get_extents = Extents;
	i->grab_focus = Grab_Focus;
}

/* AtkText: the field's text, or the help text, by characters, words and
 * lines; offsets count characters, as ATK's do. */
static const gchar *Text_Of(AtkText *t)
{
	Mv *m = M(t);
	g_free(m->text);
	m->text = g_strdup(Defunct(ATK_OBJECT(t)) ? "" : A11y_Text(Node(ATK_OBJECT(t))).c_str());
	return m->text;
}

static gint Length(AtkText *t) { return (gint)g_utf8_strlen(Text_Of(t), -1); }

static gchar *Text_Range(AtkText *t, gint start, gint end)
{
	const gchar *s = Text_Of(t);
	glong length = g_utf8_strlen(s, -1);
	if (end < 0 || end > length)
		end = (gint)length;
	if (start < 0 || start > end)
		start = end;
	const gchar *a = g_utf8_offset_to_pointer(s, start), *b = g_utf8_offset_to_pointer(s, end);
	return g_strndup(a, (gsize)(b - a));
}

static gunichar Character(AtkText *t, gint offset)
{
	const gchar *s = Text_Of(t);
	return offset >= 0 && offset < g_utf8_strlen(s, -1) ? g_utf8_get_char(g_utf8_offset_to_pointer(s, offset)) : 0;
}

static gint Caret(AtkText *t)
{
	const gchar *s = Text_Of(t);
	int byte = Defunct(ATK_OBJECT(t)) ? 0 : std::max(0, A11y_Caret(Node(ATK_OBJECT(t))));
	return (gint)g_utf8_strlen(s, (gssize)std::min((size_t)byte, strlen(s)));
}

static gboolean Set_Caret(AtkText *t, gint offset)
{
	const gchar *s = Text_Of(t);
	if (Defunct(ATK_OBJECT(t)) || offset < 0 || offset > g_utf8_strlen(s, -1))
		return FALSE;
	return A11y_Set_Caret(Node(ATK_OBJECT(t)), (int)(g_utf8_offset_to_pointer(s, offset) - s));
}

/* The character, word or line around offset. */
static gchar *Around(AtkText *t, gint offset, AtkTextBoundary boundary, gint *start, gint *end)
{
	const gchar *s = Text_Of(t);
	gint length = (gint)g_utf8_strlen(s, -1);
	if (offset < 0)
		offset = 0;
	if (offset > length)
		offset = length;
	gint a = offset, b = offset;
	auto at = [&](gint i) { return g_utf8_get_char(g_utf8_offset_to_pointer(s, i)); };
	switch (boundary) {
	case ATK_TEXT_BOUNDARY_CHAR:
		b = offset < length ? offset + 1 : offset;
		break;
	case ATK_TEXT_BOUNDARY_WORD_START:
	case ATK_TEXT_BOUNDARY_WORD_END:
		while (a > 0 && !g_unichar_isspace(at(a - 1)))
			a--;
		while (b < length && !g_unichar_isspace(at(b)))
			b++;
		while (b < length && g_unichar_isspace(at(b)))
			b++;
		break;
	default: /* lines, and sentences as lines */
		while (a > 0 && at(a - 1) != '\n')
			a--;
		while (b < length && at(b) != '\n')
			b++;
		if (b < length)
			b++;
		break;
	}
	*start = a;
	*end = b;
	return Text_Range(t, a, b);
}

static gint No_Selections(AtkText *) { return 0; }

/* one run of plain text: no attributes, all of it */
static AtkAttributeSet *Plain_Run(AtkText *t, gint, gint *start, gint *end)
{
	*start = 0;
	*end = Length(t);
	return nullptr;
}

static void Text_Init(gpointer iface, gpointer)
{
	AtkTextIface *i = static_cast<AtkTextIface *>(iface);
	i->get_text = Text_Range;
	i->get_character_count = Length;
	i->get_character_at_offset = Character;
	i->get_caret_offset = Caret;
	i->set_caret_offset = Set_Caret;
	i->get_text_at_offset = Around;
	i->get_n_selections = No_Selections;
	i->get_run_attributes = Plain_Run;
}

static void Set_Contents(AtkEditableText *t, const gchar *text)
{
	if (!Defunct(ATK_OBJECT(t)))
		A11y_Set_Text(Node(ATK_OBJECT(t)), text);
}

static void Editable_Init(gpointer iface, gpointer)
{
	static_cast<AtkEditableTextIface *>(iface)->set_text_contents = Set_Contents;
}

/* AtkAction: press, toggle or pick, once FLTK's loop is back */
static gboolean Do_Action(AtkAction *a, gint i)
{
	return i == 0 && !Defunct(ATK_OBJECT(a)) && A11y_Act_Later(Node(ATK_OBJECT(a)));
}

static gint One_Action(AtkAction *) { return 1; }

static const gchar *Action_Name(AtkAction *a, gint i)
{
	if (i != 0)
		return nullptr;
	switch (A11y_Role(Node(ATK_OBJECT(a)))) {
	case A11Y_CHECK: return "toggle";
	case A11Y_ITEM: return "activate";
	default: return "press";
	}
}

static void Action_Init(gpointer iface, gpointer)
{
	AtkActionIface *i = static_cast<AtkActionIface *>(iface);
	i->do_action = Do_Action;
	i->get_n_actions = One_Action;
	i->get_name = Action_Name;
}

static void Register_Types()
{
	static const GTypeInfo info = {sizeof(Mv_Class), nullptr, nullptr, Class_Init, nullptr, nullptr, sizeof(Mv), 0,
		nullptr, nullptr};
	static const GTypeInfo derived = {sizeof(Mv_Class), nullptr, nullptr, nullptr, nullptr, nullptr, sizeof(Mv), 0,
		nullptr, nullptr};
	static const GInterfaceInfo component = {Component_Init, nullptr, nullptr}, text = {Text_Init, nullptr, nullptr},
				    editable = {Editable_Init, nullptr, nullptr}, action = {Action_Init, nullptr, nullptr},
				    window = {nullptr, nullptr, nullptr};
	types[PLAIN] = g_type_register_static(ATK_TYPE_OBJECT, "MerrivaneAccessible", &info, static_cast<GTypeFlags>(0));
	g_type_add_interface_static(types[PLAIN], ATK_TYPE_COMPONENT, &component);
	types[TEXT] = g_type_register_static(types[PLAIN], "MerrivaneText", &derived, static_cast<GTypeFlags>(0));
	g_type_add_interface_static(types[TEXT], ATK_TYPE_TEXT, &text);
	g_type_add_interface_static(types[TEXT], ATK_TYPE_EDITABLE_TEXT, &editable);
	types[ACTION] = g_type_register_static(types[PLAIN], "MerrivaneAction", &derived, static_cast<GTypeFlags>(0));
	g_type_add_interface_static(types[ACTION], ATK_TYPE_ACTION, &action);
	types[WINDOW] = g_type_register_static(types[PLAIN], "MerrivaneWindow", &derived, static_cast<GTypeFlags>(0));
	g_type_add_interface_static(types[WINDOW], ATK_TYPE_WINDOW, &window);
	for (GType t : types)
		g_type_class_unref(g_type_class_ref(t));
}

/* --- ATK's global hooks: the root, and the bridge's event listeners --- */

static AtkObject *Root() { return ATK_OBJECT(app); }
static const gchar *Toolkit_Name() { return "FLTK"; }
static const gchar *Toolkit_Version()
{
	static char version[32];
	(void)snprintf(version, sizeof version, "%d.%d.%d", FL_MAJOR_VERSION, FL_MINOR_VERSION, FL_PATCH_VERSION);
	return version;
}

/* "Toolkit:Type:signal[:detail]", or "window:signal" for AtkWindow's */
struct Listener {
	guint signal;
	gulong hook;
};
static std::map<guint, Listener> listeners;
static guint listener_count;

static guint Add_Listener(GSignalEmissionHook listener, const gchar *event)
{
	gchar **part = g_strsplit(event, ":", 4);
	GType type = 0;
	const gchar *signal = nullptr, *detail = nullptr;
	if (part[0] && part[1] && !strcmp(part[0], "window")) {
		type = ATK_TYPE_WINDOW;
		signal = part[1];
	} else if (part[0] && part[1] && part[2]) {
		type = g_type_from_name(part[1]);
		signal = part[2];
		detail = part[3];
	}
	guint id = 0, signal_id = type ? g_signal_lookup(signal, type) : 0;
	if (signal_id) {
		id = ++listener_count;
		listeners[id] = {signal_id, g_signal_add_emission_hook(signal_id, detail ? g_quark_from_string(detail) : 0,
					      listener, g_strdup(event), g_free)};
	}
	g_strfreev(part);
	return id;
}

static void Remove_Listener(guint id)
{
	auto l = listeners.find(id);
	if (l == listeners.end())
		return;
	g_signal_remove_emission_hook(l->second.signal, l->second.hook);
	listeners.erase(l);
}

/* Keys, as a desktop toolkit hands them to the bridge: a screen reader
 * hears each before the program and may keep it (its own commands). */
struct Key_Listener {
	AtkKeySnoopFunc func;
	gpointer data;
};
static std::map<guint, Key_Listener> key_listeners;

static guint Add_Key_Listener(AtkKeySnoopFunc func, gpointer data)
{
	key_listeners[++listener_count] = {func, data};
	return listener_count;
}

static void Remove_Key_Listener(guint id) { key_listeners.erase(id); }

/* FLTK's modifier bits as the X and GDK ones ATK speaks in */
static guint Modifiers(int state)
{
	return ((state & FL_SHIFT) ? 1u << 0 : 0) | ((state & FL_CAPS_LOCK) ? 1u << 1 : 0) |
		((state & FL_CTRL) ? 1u << 2 : 0) | ((state & FL_ALT) ? 1u << 3 : 0) |
		((state & FL_NUM_LOCK) ? 1u << 4 : 0) | ((state & FL_META) ? 1u << 6 : 0);
}

static int (*plain_dispatch)(int, Fl_Window *);

static int Dispatch(int event, Fl_Window *w)
{
	if ((event == FL_KEYDOWN || event == FL_KEYUP) && !key_listeners.empty()) {
		AtkKeyEventStruct key = {event == FL_KEYDOWN ? ATK_KEY_EVENT_PRESS : ATK_KEY_EVENT_RELEASE,
			Modifiers(Fl::event_state()), (guint)Fl::event_key(), Fl::event_length(),
			const_cast<gchar *>(Fl::event_text()), (guint16)Key_Code(Fl::event_key()),
			(guint32)(g_get_monotonic_time() / 1000)};
		/* every listener hears the key, whether another keeps it or not */
		int kept = std::accumulate(key_listeners.begin(), key_listeners.end(), 0,
			[&key](int k, const std::pair<const guint, Key_Listener> &l) { return k | l.second.func(&key, l.second.data); });
		if (kept)
			return 1;
	}
	return plain_dispatch ? plain_dispatch(event, w) : Fl::handle_(event, w);
}

/* --- what changed, told to the bridge --- */

/* The capacity is heard while the focus stays where it is (the field being
 * typed in, or Update): as the focused node's description, which screen
 * readers speak when it changes. */
static void Tell_Capacity()
{
	A11y_Node f = A11y_Focus();
	if (!f.w || f.w == CAP)
		return;
	std::string said = A11y_Name({CAP, 0}) + " " + A11y_Text({CAP, 0});
	atk_object_set_description(Object(f), said.c_str());
}

static void Told(A11y_Node n, int what)
{
	AtkObject *o = Object(n);
	switch (what) {
	case A11Y_SHOWN:
		g_signal_emit_by_name(app, "children-changed::add", A11y_Index(n), o);
		g_signal_emit_by_name(o, "create");
		break;
	case A11Y_HIDDEN:
		g_signal_emit_by_name(o, "deactivate");
		g_signal_emit_by_name(o, "destroy");
		g_signal_emit_by_name(app, "children-changed::remove", -1, o);
		break;
	case A11Y_TEXT_CHANGED:
		if (Kind(n) == TEXT) {
			g_signal_emit_by_name(o, "text-changed::delete", 0, G_MAXINT);
			g_signal_emit_by_name(o, "text-changed::insert", 0, (gint)g_utf8_strlen(A11y_Text(n).c_str(), -1));
		}
		if (A11y_Role(n) == A11Y_LIST)
			g_signal_emit_by_name(o, "visible-data-changed");
		g_object_notify(G_OBJECT(o), "accessible-value");
		if (n.w == CAP)
			Tell_Capacity();
		break;
	case A11Y_STATES_CHANGED: {
		unsigned s = A11y_States(n);
		atk_object_notify_state_change(o, ATK_STATE_CHECKED, (s & A11Y_CHECKED) != 0);
		atk_object_notify_state_change(o, ATK_STATE_SENSITIVE, (s & A11Y_SENSITIVE) != 0);
		if (A11y_Role(n) == A11Y_WINDOW)
			g_signal_emit_by_name(o, s & A11Y_ACTIVE ? "activate" : "deactivate");
		break;
	}
	case A11Y_CARET_MOVED:
		if (Kind(n) == TEXT)
			g_signal_emit_by_name(o, "text-caret-moved", Caret(ATK_TEXT(o)));
		break;
	case A11Y_FOCUS_CHANGED:
		/* clients keep the states they were told: the focus left first */
		if (focus_was && focus_was != o && !Defunct(focus_was))
			atk_object_notify_state_change(focus_was, ATK_STATE_FOCUSED, FALSE);
		focus_was = o;
		atk_object_notify_state_change(o, ATK_STATE_FOCUSED, TRUE);
		G_GNUC_BEGIN_IGNORE_DEPRECATIONS
		atk_focus_tracker_notify(o);
		G_GNUC_END_IGNORE_DEPRECATIONS
		break;
	}
}

/* Forgets the objects of deleted widgets. */
static void Sweep()
{
	for (auto i = objects.begin(); i != objects.end();) {
		if (!i->second->w) {
			atk_object_notify_state_change(ATK_OBJECT(i->second), ATK_STATE_DEFUNCT, TRUE);
			if (focus_was == ATK_OBJECT(i->second))
				focus_was = nullptr;
			g_object_unref(i->second);
			i = objects.erase(i);
		} else {
			++i;
		}
	}
}

static void Look(void *)
{
	Sweep();
	A11y_Look(Told);
	Iterate();
}

/* --- starting: only where the desktop asks, and a bus that answers --- */

static GDBusConnection *session;
static int started;

static void Start_Bridge()
{
	if (started)
		return;
	started = 1;
	Register_Types();
	AtkUtilClass *util = ATK_UTIL_CLASS(g_type_class_ref(ATK_TYPE_UTIL));
	util->get_root = Root;
	util->get_toolkit_name = Toolkit_Name;
	util->get_toolkit_version = Toolkit_Version;
	util->add_global_event_listener = Add_Listener;
	util->remove_global_event_listener = Remove_Listener;
	util->add_key_event_listener = Add_Key_Listener;
	util->remove_key_event_listener = Remove_Key_Listener;
	plain_dispatch = Fl::event_dispatch();
	Fl::event_dispatch(Dispatch);
	/* the interfaces whose signals the bridge listens for */
	for (GType t : {ATK_TYPE_TEXT, ATK_TYPE_COMPONENT, ATK_TYPE_ACTION, ATK_TYPE_WINDOW, ATK_TYPE_SELECTION,
		     ATK_TYPE_VALUE, ATK_TYPE_EDITABLE_TEXT, ATK_TYPE_DOCUMENT, ATK_TYPE_HYPERTEXT, ATK_TYPE_TABLE})
		g_type_default_interface_ref(t);
	app = M(g_object_new(types[PLAIN], nullptr));
	app->app = 1;
	atk_object_initialize(ATK_OBJECT(app), nullptr);
	atk_bridge_adaptor_init(nullptr, nullptr);
	A11y_Look(Told);
	Fl::add_check(Look);
}

/* The accessibility bus answered GetAddress and then let a connection in,
 * each within the time given: the bridge, which waits on it without a
 * limit, starts. */
static const int ANSWER_MS = 1500;

static void Cancel(void *cancellable) { g_cancellable_cancel(static_cast<GCancellable *>(cancellable)); }

static void Connected(GObject *, GAsyncResult *result, gpointer cancellable)
{
	GDBusConnection *bus = g_dbus_connection_new_for_address_finish(result, nullptr);
	Fl::remove_timeout(Cancel, cancellable);
	g_object_unref(cancellable);
	if (!bus)
		return;
	g_dbus_connection_close(bus, nullptr, nullptr, nullptr);
	g_object_unref(bus);
	Start_Bridge();
}

static void Got_Address(GObject *source, GAsyncResult *result, gpointer)
{
	GVariant *reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
	if (!reply)
		return;
	const gchar *address;
	g_variant_get(reply, "(&s)", &address);
	GCancellable *cancellable = g_cancellable_new();
	g_dbus_connection_new_for_address(address,
		(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
		nullptr, cancellable, Connected, cancellable);
	Fl::add_timeout(ANSWER_MS / 1000.0, Cancel, cancellable);
	g_variant_unref(reply);
}

static void Try_Bus()
{
	if (started)
		return;
	g_dbus_connection_call(session, "org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", nullptr,
		G_VARIANT_TYPE("(s)"), G_DBUS_CALL_FLAGS_NO_AUTO_START, ANSWER_MS, nullptr, Got_Address, nullptr);
}

/* IsEnabled or ScreenReaderEnabled among org.a11y.Status's properties */
static int Enabled(GVariant *properties)
{
	gboolean on = FALSE, reader = FALSE;
	g_variant_lookup(properties, "IsEnabled", "b", &on);
	g_variant_lookup(properties, "ScreenReaderEnabled", "b", &reader);
	return on || reader;
}

static void Got_Status(GObject *source, GAsyncResult *result, gpointer)
{
	GVariant *reply = g_dbus_connection_call_finish(G_DBUS_CONNECTION(source), result, nullptr);
	if (!reply)
		return;
	GVariant *properties = g_variant_get_child_value(reply, 0);
	if (Enabled(properties))
		Try_Bus();
	g_variant_unref(properties);
	g_variant_unref(reply);
}

static void Status_Changed(GDBusConnection *, const gchar *, const gchar *, const gchar *, const gchar *,
	GVariant *parameters, gpointer)
{
	const gchar *interface;
	GVariant *changed = nullptr;
	g_variant_get(parameters, "(&s@a{sv}as)", &interface, &changed, nullptr);
	if (!strcmp(interface, "org.a11y.Status") && Enabled(changed))
		Try_Bus();
	g_variant_unref(changed);
}

static void Session_Up(GObject *, GAsyncResult *result, gpointer cancellable)
{
	session = g_dbus_connection_new_for_address_finish(result, nullptr);
	Fl::remove_timeout(Cancel, cancellable);
	g_object_unref(cancellable);
	if (!session)
		return;
	/* a screen reader started later turns the properties on */
	g_dbus_connection_signal_subscribe(session, "org.a11y.Bus", "org.freedesktop.DBus.Properties", "PropertiesChanged",
		"/org/a11y/bus", nullptr, G_DBUS_SIGNAL_FLAGS_NONE, Status_Changed, nullptr, nullptr);
	g_dbus_connection_call(session, "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "GetAll",
		g_variant_new("(s)", "org.a11y.Status"), G_VARIANT_TYPE("(a{sv})"), G_DBUS_CALL_FLAGS_NO_AUTO_START,
		ANSWER_MS, nullptr, Got_Status, nullptr);
}

/* The session bus's address, or none: never one autolaunched. */
static gchar *Session_Address()
{
	const char *set = getenv("DBUS_SESSION_BUS_ADDRESS");
	if (set && *set)
		return g_strdup(set);
	const char *runtime = getenv("XDG_RUNTIME_DIR");
	gchar *path = runtime ? g_build_filename(runtime, "bus", nullptr) : nullptr;
	gchar *address = path && g_file_test(path, G_FILE_TEST_EXISTS) ? g_strconcat("unix:path=", path, nullptr) : nullptr;
	g_free(path);
	return address;
}

void A11y_Start()
{
	const char *off = getenv("NO_AT_BRIDGE");
	if (off && !strcmp(off, "1"))
		return;
	gchar *address = Session_Address();
	if (!address)
		return;
	context = g_main_context_default();
	/* GLib wakes the loop's owner only: this thread owns it for good */
	g_main_context_acquire(context);
	GCancellable *cancellable = g_cancellable_new();
	g_dbus_connection_new_for_address(address,
		(GDBusConnectionFlags)(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT | G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
		nullptr, cancellable, Session_Up, cancellable);
	Fl::add_timeout(ANSWER_MS / 1000.0, Cancel, cancellable);
	g_free(address);
	Iterate();
}
