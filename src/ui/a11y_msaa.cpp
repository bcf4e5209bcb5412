#include "ui/ui.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <FL/Fl.H>
#include <FL/Fl_Value_Output.H>
#include <FL/Fl_Window.H>
#include <FL/platform.H>
#include <commctrl.h>
#include <oleacc.h>
#include <windows.h>

/* MSAA for Windows screen readers (NVDA, JAWS, Narrator through Windows'
 * own MSAA proxy for UI Automation). Each FLTK window answers WM_GETOBJECT
 * for its client area with an IAccessible whose children are the window's
 * nodes (a11y.cpp says what each is) as simple elements, numbered from 1
 * in the order a reader walks them, a list's lines after the list. COM
 * wants a C++ object with IUnknown, IDispatch and IAccessible's methods:
 * that object, here only, is the whole of the COM code. FLTK makes a new
 * HWND at every show(), so each shown window is hooked again. */

/* the window's nodes in order, its lines after each list */
static std::vector<A11y_Node> Nodes(Fl_Window *win)
{
	std::vector<A11y_Node> all, todo(1, A11y_Node{win, 0});
	while (!todo.empty()) {
		A11y_Node n = todo.back();
		todo.pop_back();
		if (n.w != win)
			all.push_back(n);
		for (int i = A11y_Child_Count(n) - 1; i >= 0; i--)
			todo.push_back(A11y_Child(n, i));
	}
	return all;
}

static LONG Child_Id(Fl_Window *win, A11y_Node n)
{
	std::vector<A11y_Node> all = Nodes(win);
	for (size_t i = 0; i < all.size(); i++)
		if (all[i].w == n.w && all[i].item == n.item)
			return (LONG)i + 1;
	return CHILDID_SELF;
}

static BSTR Bstr(const std::string &utf8)
{
	int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
	std::wstring w(n > 0 ? n : 1, L'\0');
	MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &w[0], n);
	return SysAllocString(w.c_str());
}

static std::string Utf8(BSTR s)
{
	int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
	std::string u(n > 0 ? n : 1, '\0');
	WideCharToMultiByte(CP_UTF8, 0, s, -1, &u[0], n, nullptr, nullptr);
	u.resize(strlen(u.c_str()));
	return u;
}

/* what the focused node says of the capacity, while it is the focus */
static A11y_Node told_to = {nullptr, -1};
static std::string capacity_said;

static LONG Role_Of(A11y_Node n)
{
	switch (A11y_Role(n)) {
	case A11Y_WINDOW: return ROLE_SYSTEM_CLIENT;
	case A11Y_ENTRY:
	case A11Y_OUTPUT:
	case A11Y_DOCUMENT: return ROLE_SYSTEM_TEXT;
	case A11Y_BUTTON: return ROLE_SYSTEM_PUSHBUTTON;
	case A11Y_CHECK: return ROLE_SYSTEM_CHECKBUTTON;
	case A11Y_COMBO: return ROLE_SYSTEM_COMBOBOX;
	case A11Y_LIST: return ROLE_SYSTEM_LIST;
	case A11Y_ITEM: return ROLE_SYSTEM_LISTITEM;
	default: return ROLE_SYSTEM_STATICTEXT;
	}
}

static LONG States_Of(A11y_Node n)
{
	unsigned s = A11y_States(n);
	LONG m = 0;
	m |= s & A11Y_FOCUSABLE ? STATE_SYSTEM_FOCUSABLE : 0;
	m |= s & A11Y_FOCUSED ? STATE_SYSTEM_FOCUSED : 0;
	m |= s & A11Y_READ_ONLY ? STATE_SYSTEM_READONLY : 0;
	m |= s & A11Y_CHECKED ? STATE_SYSTEM_CHECKED : 0;
	m |= s & A11Y_SELECTED ? STATE_SYSTEM_SELECTED : 0;
	m |= s & A11Y_SELECTABLE ? STATE_SYSTEM_SELECTABLE : 0;
	m |= s & A11Y_SENSITIVE ? 0 : STATE_SYSTEM_UNAVAILABLE;
	m |= s & A11Y_SHOWING ? 0 : STATE_SYSTEM_INVISIBLE;
	return m;
}

class Window_Accessible : public IAccessible {
public:
	explicit Window_Accessible(Fl_Window *w) : widget(w) { Fl::watch_widget_pointer(widget); }
	virtual ~Window_Accessible() { Fl::release_widget_pointer(widget); }

	/* IUnknown */
	STDMETHODIMP QueryInterface(REFIID id, void **out) override
	{
		if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
			*out = static_cast<IAccessible *>(this);
			AddRef();
			return S_OK;
		}
		*out = nullptr;
		return E_NOINTERFACE;
	}
	STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
	STDMETHODIMP_(ULONG) Release() override
	{
		ULONG left = --refs;
		if (!left)
			delete this;
		return left;
	}

	/* IDispatch: MSAA's clients call the methods themselves */
	STDMETHODIMP GetTypeInfoCount(UINT *n) override
	{
		*n = 0;
		return S_OK;
	}
	STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo **) override { return E_NOTIMPL; }
	STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR *, UINT, LCID, DISPID *) override { return E_NOTIMPL; }
	STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS *, VARIANT *, EXCEPINFO *, UINT *) override
	{
		return E_NOTIMPL;
	}

	/* IAccessible */
	STDMETHODIMP get_accParent(IDispatch **parent) override
	{
		*parent = nullptr;
		HWND h = Win() ? fl_xid(Win()) : nullptr;
		return h ? AccessibleObjectFromWindow(h, OBJID_WINDOW, IID_IDispatch, (void **)parent) : E_FAIL;
	}
	STDMETHODIMP get_accChildCount(long *count) override
	{
		*count = Win() ? (long)Nodes(Win()).size() : 0;
		return S_OK;
	}
	STDMETHODIMP get_accChild(VARIANT, IDispatch **child) override
	{
		*child = nullptr;
		return S_FALSE; /* every child a simple element */
	}
	STDMETHODIMP get_accName(VARIANT id, BSTR *name) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		*name = Bstr(A11y_Name(n));
		return S_OK;
	}
	STDMETHODIMP get_accValue(VARIANT id, BSTR *value) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		int role = A11y_Role(n);
		if (role != A11Y_ENTRY && role != A11Y_OUTPUT && role != A11Y_DOCUMENT && role != A11Y_COMBO && role != A11Y_LIST) {
			*value = nullptr;
			return S_FALSE;
		}
		*value = Bstr(A11y_Text(n));
		return S_OK;
	}
	STDMETHODIMP get_accDescription(VARIANT id, BSTR *said) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		if (n.w != told_to.w || n.item != told_to.item) {
			*said = nullptr;
			return S_FALSE;
		}
		*said = Bstr(capacity_said);
		return S_OK;
	}
	STDMETHODIMP get_accRole(VARIANT id, VARIANT *role) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		role->vt = VT_I4;
		role->lVal = Role_Of(n);
		return S_OK;
	}
	STDMETHODIMP get_accState(VARIANT id, VARIANT *state) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		state->vt = VT_I4;
		state->lVal = States_Of(n);
		return S_OK;
	}
	STDMETHODIMP get_accHelp(VARIANT, BSTR *help) override
	{
		*help = nullptr;
		return S_FALSE;
	}
	STDMETHODIMP get_accHelpTopic(BSTR *, VARIANT, long *) override { return E_NOTIMPL; }
	STDMETHODIMP get_accKeyboardShortcut(VARIANT, BSTR *keys) override
	{
		*keys = nullptr;
		return S_FALSE;
	}
	STDMETHODIMP get_accFocus(VARIANT *focus) override
	{
		A11y_Node f = A11y_Focus();
		VariantInit(focus);
		if (!Win() || !f.w || (f.w != Win() && f.w->top_window() != Win()))
			return S_FALSE;
		focus->vt = VT_I4;
		focus->lVal = Child_Id(Win(), f);
		return S_OK;
	}
	STDMETHODIMP get_accSelection(VARIANT *selection) override
	{
		VariantInit(selection);
		return S_FALSE;
	}
	STDMETHODIMP get_accDefaultAction(VARIANT id, BSTR *action) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		int role = A11y_Role(n);
		const char *name = role == A11Y_BUTTON ? "Press" : role == A11Y_CHECK ? "Check" : role == A11Y_ITEM ? "Select" : nullptr;
		*action = name ? Bstr(name) : nullptr;
		return name ? S_OK : S_FALSE;
	}
	STDMETHODIMP accSelect(long how, VARIANT id) override
	{
		A11y_Node n;
		if (!Find(id, &n) || !n.w)
			return E_INVALIDARG;
		if ((how & SELFLAG_TAKEFOCUS) && !n.item)
			n.w->take_focus();
		if ((how & SELFLAG_TAKESELECTION) && n.item)
			A11y_Act(n);
		return S_OK;
	}
	STDMETHODIMP accLocation(long *x, long *y, long *w, long *h, VARIANT id) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		int ix, iy, iw, ih;
		A11y_Extents(n.w ? n : A11y_Node{Win(), 0}, &ix, &iy, &iw, &ih);
		*x = ix, *y = iy, *w = iw, *h = ih;
		return S_OK;
	}
	STDMETHODIMP accNavigate(long dir, VARIANT start, VARIANT *end) override
	{
		VariantInit(end);
		long from = start.vt == VT_I4 ? start.lVal : CHILDID_SELF, count = Win() ? (long)Nodes(Win()).size() : 0, to = 0;
		switch (dir) {
		case NAVDIR_FIRSTCHILD: to = from == CHILDID_SELF && count ? 1 : 0; break;
		case NAVDIR_LASTCHILD: to = from == CHILDID_SELF ? count : 0; break;
		case NAVDIR_NEXT:
		case NAVDIR_DOWN: to = from != CHILDID_SELF && from < count ? from + 1 : 0; break;
		case NAVDIR_PREVIOUS:
		case NAVDIR_UP: to = from > 1 ? from - 1 : 0; break;
		default: return E_NOTIMPL;
		}
		if (!to)
			return S_FALSE;
		end->vt = VT_I4;
		end->lVal = to;
		return S_OK;
	}
	STDMETHODIMP accHitTest(long x, long y, VARIANT *hit) override
	{
		VariantInit(hit);
		if (!Win())
			return S_FALSE;
		std::vector<A11y_Node> all = Nodes(Win());
		hit->vt = VT_I4;
		hit->lVal = CHILDID_SELF;
		for (size_t i = 0; i < all.size(); i++) {
			int ix, iy, iw, ih;
			A11y_Extents(all[i], &ix, &iy, &iw, &ih);
			if (!all[i].item && x >= ix && x < ix + iw && y >= iy && y < iy + ih)
				hit->lVal = (long)i + 1;
		}
		return S_OK;
	}
	STDMETHODIMP accDoDefaultAction(VARIANT id) override
	{
		A11y_Node n;
		return Find(id, &n) && A11y_Act_Later(n) ? S_OK : E_INVALIDARG;
	}
	STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
	STDMETHODIMP put_accValue(VARIANT id, BSTR value) override
	{
		A11y_Node n;
		if (!Find(id, &n))
			return E_INVALIDARG;
		return A11y_Set_Text(n, Utf8(value).c_str()) ? S_OK : E_FAIL;
	}

private:
	/* the node a child id names; the window itself for CHILDID_SELF */
	int Find(VARIANT id, A11y_Node *n)
	{
		if (!Win() || id.vt != VT_I4)
			return 0;
		if (id.lVal == CHILDID_SELF) {
			*n = {Win(), 0};
			return 1;
		}
		std::vector<A11y_Node> all = Nodes(Win());
		if (id.lVal < 1 || id.lVal > (long)all.size())
			return 0;
		*n = all[id.lVal - 1];
		return 1;
	}

	/* the window, 0 once deleted */
	Fl_Window *Win() const { return widget ? widget->as_window() : nullptr; }
	Fl_Widget *widget;
	ULONG refs = 1;
};

static std::vector<HWND> hooked;

static LRESULT CALLBACK Subclass(HWND h, UINT message, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data)
{
	Window_Accessible *acc = reinterpret_cast<Window_Accessible *>(data);
	if (message == WM_GETOBJECT && (LONG)lp == OBJID_CLIENT)
		return LresultFromObject(IID_IAccessible, wp, acc);
	if (message == WM_NCDESTROY) {
		RemoveWindowSubclass(h, Subclass, 1);
		hooked.erase(std::remove(hooked.begin(), hooked.end(), h), hooked.end());
		acc->Release();
	}
	return DefSubclassProc(h, message, wp, lp);
}

/* the window's HWND hooked, where it is not yet */
static void Hook(Fl_Window *win)
{
	HWND h = fl_xid(win);
	if (!h || std::find(hooked.begin(), hooked.end(), h) != hooked.end())
		return;
	Window_Accessible *acc = new Window_Accessible(win);
	if (SetWindowSubclass(h, Subclass, 1, reinterpret_cast<DWORD_PTR>(acc)))
		hooked.push_back(h);
	else
		acc->Release();
}

static void Notify(DWORD event, A11y_Node n)
{
	Fl_Window *win = n.w ? (n.w->as_window() ? n.w->as_window() : n.w->top_window()) : nullptr;
	HWND h = win ? fl_xid(win) : nullptr;
	if (h)
		NotifyWinEvent(event, h, OBJID_CLIENT, n.w == win ? CHILDID_SELF : Child_Id(win, n));
}

static void Told(A11y_Node n, int what)
{
	switch (what) {
	case A11Y_SHOWN: Hook(n.w->as_window()); break;
	case A11Y_FOCUS_CHANGED:
		told_to = {nullptr, -1};
		Notify(EVENT_OBJECT_FOCUS, n);
		break;
	case A11Y_TEXT_CHANGED:
		Notify(EVENT_OBJECT_VALUECHANGE, n);
		if (n.w == CAP) {
			/* the capacity heard where the focus stays */
			A11y_Node f = A11y_Focus();
			if (f.w && f.w != CAP) {
				told_to = f;
				capacity_said = A11y_Name(n) + " " + A11y_Text(n);
				Notify(EVENT_OBJECT_DESCRIPTIONCHANGE, f);
			}
		}
		break;
	case A11Y_STATES_CHANGED: Notify(EVENT_OBJECT_STATECHANGE, n); break;
	case A11Y_CARET_MOVED: Notify(EVENT_OBJECT_LOCATIONCHANGE, n); break;
	}
}

static void Look(void *) { A11y_Look(Told); }

void A11y_Start()
{
	(void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
	Fl::add_check(Look);
	Look(nullptr);
}
