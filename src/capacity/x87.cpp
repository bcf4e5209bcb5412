#include "capacity/extended.h"

#include <cfloat>
#include <cstring>

/* The x87 unit: its precision control, and whether the machine's unit
 * rounds as a real one does, which decides whether the model runs on it. */

#if defined(__i386__) || defined(__x86_64__)
unsigned X87_Precision(int bits)
{
	unsigned short old, set;
	__asm__ volatile("fnstcw %0" : "=m"(old));
	/* bits 8 and 9: 00 single, 10 double, 11 extended */
	set = (unsigned short)((old & ~0x300u) | (bits == 64 ? 0x300u : bits == 53 ? 0x200u : 0));
	__asm__ volatile("fldcw %0" : : "m"(set) : "memory");
	return old;
}

void X87_Restore(unsigned control)
{
	unsigned short cw = (unsigned short)control;
	__asm__ volatile("fldcw %0" : : "m"(cw) : "memory");
}
#else
unsigned X87_Precision(int) { return 0; }
void X87_Restore(unsigned) {}
#endif

int Choose_X87(int exact, unsigned machine)
{
	return exact && machine != 0xaa64; /* IMAGE_FILE_MACHINE_ARM64 */
}

/* The native type only where it is the x87 format itself. */
#if LDBL_MANT_DIG == 64 && LDBL_MAX_EXP == 16384 && LDBL_MIN_EXP == -16381 && !MERRIVANE_SOFT_EXTENDED
const int NATIVE_EXTENDED = 1;

#if defined(_WIN32)
#include <windows.h>
/* The machine Windows runs on, which an x64 program on ARM64 is told only
 * by IsWow64Process2 (Windows 10 1709 and later). */
static unsigned Native_Machine()
{
	typedef BOOL(WINAPI * Query)(HANDLE, USHORT *, USHORT *);
	HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
	Query query = kernel ? (Query)(void *)GetProcAddress(kernel, "IsWow64Process2") : nullptr;
	USHORT process, native;
	return query && query(GetCurrentProcess(), &process, &native) ? native : 0;
}
#else
static unsigned Native_Machine() { return 0; }
#endif

/* x, a result of the unit, and y, the software type's, alike to the bit */
static int Alike(long double x, Unpacked y)
{
	Extended e = Repack(y);
	unsigned char a[10], b[10];
	std::memcpy(a, &x, sizeof a);
	std::memcpy(b, &e.m, sizeof e.m);
	std::memcpy(b + 8, &e.se, sizeof e.se);
	return std::memcmp(a, b, sizeof a) == 0;
}

/* Operations that only a 64-bit significand and a 15-bit exponent get
 * right, as the unit and the software type give them, at the precision
 * control the loop sets. Emulators that compute the unit in doubles get
 * them wrong: valgrind, box64, Windows on ARM unless told otherwise. */
static volatile long double one = 1, three = 3, tiny = 0x1p-63L, odd = 2147483649.0L,
	low = 0x1p-1074L, lower = 0x1p-100L, high = 0x1p1174L;

static int Rounds_At_64()
{
	const Unpacked u1 = From_Double(1), minus1 = Pack(1, Exp(u1), u1.m), u3 = From_Double(3);
	const Unpacked utiny = Pack(0, BIAS - 63, TOP), uodd = From_Double(2147483649.0);
	const Unpacked range = Mul(Mul(From_Double(0x1p-1074), From_Double(0x1p-100)), Pack(0, BIAS + 1174, TOP));
	return Alike((one + tiny) - one, Add(Add(u1, utiny), minus1)) && Alike(one / three, Div(u1, u3)) &&
		Alike(odd * odd, Mul(uodd, uodd)) && (long long)(odd * odd) == 4611686022722355201LL &&
		Alike((low * lower) * high, range);
}

static int Rounds_At_53() { return (one + tiny) - one == 0; }

/* Whether the unit rounds as a real one does. Each probe is called through
 * a volatile pointer, like the loop, so that none of it is moved outside
 * its setting. */
static int X87_Rounds_Exactly()
{
	int (*volatile at_64)() = Rounds_At_64, (*volatile at_53)() = Rounds_At_53;
	unsigned saved = X87_Precision(64);
	int exact = at_64();
	X87_Precision(53);
	exact = exact && at_53();
	X87_Restore(saved);
	return exact;
}

int X87_Chosen()
{
	static const int chosen = Choose_X87(X87_Rounds_Exactly(), Native_Machine());
	return chosen;
}
#else
const int NATIVE_EXTENDED = 0;
int X87_Chosen() { return 0; }
#endif
