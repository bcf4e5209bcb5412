#ifndef MERRIVANE_CAPACITY_H
#define MERRIVANE_CAPACITY_H

/* Largest number of layers the model computes; anything needing more is
 * refused so the window never freezes (about 1.7 ms per million layers here). */
constexpr double MAX_LAYERS = 4000000.0;

/* Yards of line of width lw that fit on a spool of width sw, outer
 * diameter od and hub diameter id, all in inches. Returns 1 and sets
 * *yards, or returns 0 and leaves *yards untouched for refused input. */
int Spool_Capacity(double sw, double od, double id, double lw, double *yards);

/* Recomputes CAP from SW, OD, ID and LW; a refused input leaves it as it was. */
void calc();

#endif
