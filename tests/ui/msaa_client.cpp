/* A screen reader's view of the running program through MSAA, as a Windows
 * client reads it: the main window's children with their names, roles,
 * values and states; the README spool set through put_accValue, after
 * which the capacity reads 6454.1, with a value change event heard and
 * the focused field's description told; and Help pressed through its
 * default action, whose window holds the help text. Prints what failed
 * and exits 1. */
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstring>
#include <string>

static int failures;
static int value_changes;
static long focused_child;

static void Check(bool ok, const char *what)
{
	if (!ok) {
		std::printf("FAILED: %s\n", what);
		failures++;
	}
}

static VARIANT Child(long id)
{
	VARIANT v;
	VariantInit(&v);
	v.vt = VT_I4;
	v.lVal = id;
	return v;
}

static std::string Narrow(BSTR b)
{
	std::string s;
	for (int i = 0; b && b[i]; i++)
		s += (char)b[i];
	SysFreeString(b);
	return s;
}

static std::string Name(IAccessible *a, long id)
{
	BSTR b = nullptr;
	a->get_accName(Child(id), &b);
	return Narrow(b);
}

static std::string Value(IAccessible *a, long id)
{
	BSTR b = nullptr;
	a->get_accValue(Child(id), &b);
	return Narrow(b);
}

static long Number(IAccessible *a, long id, HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT *))
{
	VARIANT v;
	VariantInit(&v);
	(a->*get)(Child(id), &v);
	return v.vt == VT_I4 ? v.lVal : -1;
}

static void CALLBACK Heard(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD)
{
	if (event == EVENT_OBJECT_VALUECHANGE && object == OBJID_CLIENT && child == 5)
		value_changes++;
	if (event == EVENT_OBJECT_FOCUS && object == OBJID_CLIENT)
		focused_child = child;
}

/* Waits up to 20 s for a window, and for what is asked of the program,
 * pumping messages so that events arrive. */
static HWND Window(const wchar_t *title)
{
	for (int i = 0; i < 400; i++) {
		HWND h = FindWindowW(nullptr, title);
		if (h)
			return h;
		Sleep(50);
	}
	return nullptr;
}

static void Pump(int ms)
{
	for (DWORD end = GetTickCount() + ms; GetTickCount() < end;) {
		MSG m;
		while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE))
			DispatchMessageW(&m);
		Sleep(20);
	}
}

static IAccessible *Client(HWND h)
{
	IAccessible *a = nullptr;
	return h && AccessibleObjectFromWindow(h, OBJID_CLIENT, IID_IAccessible, (void **)&a) == S_OK ? a : nullptr;
}

int main()
{
	CoInitialize(nullptr);
	HWND h = Window(L"Merrivane");
	IAccessible *main = Client(h);
	if (!main) {
		std::printf("FAILED: no IAccessible for the main window\n");
		return 1;
	}
	SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_VALUECHANGE, nullptr, Heard, 0, 0, WINEVENT_OUTOFCONTEXT);

	const struct {
		const char *name;
		long role;
	} want[] = {{"spool width (in)", ROLE_SYSTEM_TEXT}, {"outer diameter (in)", ROLE_SYSTEM_TEXT},
		{"hub diameter (in)", ROLE_SYSTEM_TEXT}, {"line width (in)", ROLE_SYSTEM_TEXT},
		{"capacity (yds)", ROLE_SYSTEM_TEXT}, {"Spool File", ROLE_SYSTEM_PUSHBUTTON},
		{"Line File", ROLE_SYSTEM_PUSHBUTTON}, {"Update", ROLE_SYSTEM_PUSHBUTTON}, {"Help", ROLE_SYSTEM_PUSHBUTTON}};
	long count = 0;
	main->get_accChildCount(&count);
	Check(count == 9, "nine children");
	for (long i = 1; i <= 9; i++) {
		Check(Name(main, i) == want[i - 1].name, want[i - 1].name);
		Check(Number(main, i, &IAccessible::get_accRole) == want[i - 1].role, "a child's role");
	}
	Check((Number(main, 5, &IAccessible::get_accState) & STATE_SYSTEM_READONLY) != 0, "the capacity read-only");
	Check((Number(main, 1, &IAccessible::get_accState) & STATE_SYSTEM_FOCUSABLE) != 0, "a field focusable");
	long x, y, w = 0, hh = 0;
	main->accLocation(&x, &y, &w, &hh, Child(1));
	Check(w == 75 && hh == 24, "the first field 75 x 24 at 96 dpi");

	main->accSelect(SELFLAG_TAKEFOCUS, Child(4));
	for (int i = 0; i < 100 && focused_child != 4; i++)
		Pump(100);
	Check(focused_child == 4, "a focus event for the line width field");

	const wchar_t *spool[] = {L"3.5", L"6", L"1.5", L"0.02"};
	for (long i = 1; i <= 4; i++) {
		BSTR b = SysAllocString(spool[i - 1]);
		Check(main->put_accValue(Child(i), b) == S_OK, "put_accValue");
		SysFreeString(b);
	}
	for (int i = 0; i < 100 && Value(main, 5) != "6454.1"; i++)
		Pump(100);
	Check(Value(main, 5) == "6454.1", "the capacity reads 6454.1");
	Check(value_changes > 0, "a value change event for the capacity");

	Check(main->accDoDefaultAction(Child(9)) == S_OK, "Help's default action");
	IAccessible *help = Client(Window(L"Help"));
	Check(help && Value(help, 1).rfind("Merrivane 1.00\n", 0) == 0, "the help text");
	if (help)
		help->Release();
	main->Release();
	std::printf("%s: MSAA read the main window and the help text\n", failures ? "FAILED" : "passed");
	return failures ? 1 : 0;
}
