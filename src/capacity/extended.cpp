#include "capacity/extended.h"

/* The software extended type's rounding at the edges of its range, its
 * division, and its operations on the packed x87 layout. */

Unpacked Round_Pack_Edge(int sign, int exp, uint64_t hi, uint64_t lo)
{
	if (exp >= EXP_MAX)
		return Inf(sign);
	if (exp <= 0) {
		Shift_Right_Jam(&hi, &lo, 1 - exp);
		exp = 0;
	}
	uint64_t up = Round_Up(hi, lo);
	hi += up;
	if (up && hi == 0) { /* carried out of the significand */
		hi = TOP;
		exp++;
	} else if (exp == 0 && (hi & TOP)) {
		exp = 1; /* rounded up out of the denormals */
	}
	if (exp >= EXP_MAX)
		return Inf(sign);
	return Pack(sign, exp, hi);
}

Unpacked Div(Unpacked a, Unpacked b)
{
	int sign = Sign(a) ^ Sign(b);
	if (Is_NaN(a) || Is_NaN(b))
		return NaN_Of(a, b);
	if (Is_Inf(a))
		return Is_Inf(b) ? Indefinite() : Inf(sign);
	if (Is_Inf(b))
		return Pack(sign, 0, 0);
	if (Is_Zero(b))
		return Is_Zero(a) ? Indefinite() : Inf(sign);
	if (Is_Zero(a))
		return Pack(sign, 0, 0);

	uint64_t ma, mb;
	int exp = Normalise(a, &ma) - Normalise(b, &mb) + BIAS;
	/* long division; the remainder has 65 bits, the top one in carry */
	uint64_t r = ma, q = 0, carry = 0;
	if (ma < mb) {
		exp--;
		carry = r >> 63;
		r <<= 1;
	}
	for (int i = 0; i < 64; i++) {
		q <<= 1;
		if (carry || r >= mb) {
			r -= mb;
			q |= 1;
		}
		carry = r >> 63;
		r <<= 1;
	}
	uint64_t round = carry || r >= mb;
	if (round)
		r -= mb;
	return Round_Pack(sign, exp, q, (round ? TOP : 0) | (r != 0));
}

Extended Ext_From_Float(float f) { return Repack(From_Float(f)); }
Extended Ext_From_Double(double d) { return Repack(From_Double(d)); }
float Ext_To_Float(Extended x) { return To_Float(Unpack(x)); }
double Ext_To_Double(Extended x) { return To_Double(Unpack(x)); }
Extended Ext_Add(Extended a, Extended b) { return Repack(Add(Unpack(a), Unpack(b))); }
Extended Ext_Mul(Extended a, Extended b) { return Repack(Mul(Unpack(a), Unpack(b))); }
Extended Ext_Div(Extended a, Extended b) { return Repack(Div(Unpack(a), Unpack(b))); }
int Ext_Above(Extended a, Extended b) { return Above(Unpack(a), Unpack(b)); }
