#ifndef MERRIVANE_CAPACITY_H
#define MERRIVANE_CAPACITY_H

#include <cstdint>

/* Largest number of layers the model computes; anything needing more is
 * refused so the window never freezes (about 1.7 ms per million layers here). */
constexpr double MAX_LAYERS = 4000000.0;

/* Yards of line of width lw that fit on a spool of width sw, outer
 * diameter od and hub diameter id, all in inches. Returns 1 and sets
 * *yards, or returns 0 and leaves *yards untouched for refused input. */
int Spool_Capacity(double sw, double od, double id, double lw, double *yards);

/* The same with the software extended type, wherever the program runs. */
int Spool_Capacity_Software(double sw, double od, double id, double lw, double *yards);

/* The layer loop on single-precision dimensions: total length / 36, in
 * yards, with the platform's extended type or the software one. */
double Layer_Yards(float r0, float R, float lw, float sw);
double Layer_Yards_Software(float r0, float R, float lw, float sw);

/* 1 where the native long double is the x87 format. */
extern const int NATIVE_EXTENDED;

/* 1 where the model runs on it: where the x87 unit rounds as a real one
 * does, which emulators that compute it in doubles do not, and not on ARM
 * under Windows, whose emulator does so by default. Decided once, at the
 * first call. Choose_X87 is the decision: whether the unit rounded
 * exactly, and the machine Windows runs on (IMAGE_FILE_MACHINE_*, or 0). */
int X87_Chosen();
int Choose_X87(int exact, unsigned machine);

/* The x87 unit's precision control, where the machine has the unit (x86):
 * sets it to bits (24, 53 or 64) and returns the control word it replaced,
 * for X87_Restore. Elsewhere both do nothing. */
unsigned X87_Precision(int bits);
void X87_Restore(unsigned control);

/* The x87 80-bit extended format in software: m the significand with its
 * integer bit, se the sign (bit 15) and the exponent biased by 16383; the
 * same bytes as an x87 long double. Each operation rounds as the x87 unit
 * does, to nearest, ties to even; conversions from float and double are
 * exact, and those to float and double round once. */
struct Extended {
	uint64_t m;
	uint16_t se;
};
Extended Ext_From_Float(float f);
Extended Ext_From_Double(double d);
float Ext_To_Float(Extended x);
double Ext_To_Double(Extended x);
Extended Ext_Add(Extended a, Extended b);
Extended Ext_Mul(Extended a, Extended b);
Extended Ext_Div(Extended a, Extended b);
/* a > b */
int Ext_Above(Extended a, Extended b);

/* The software layer loop's total, in inches, before it becomes yards. */
Extended Layer_Inches_Software(float r0, float R, float lw, float sw);

/* Recomputes CAP from SW, OD, ID and LW; a refused input leaves it as it was. */
void calc();

#endif
