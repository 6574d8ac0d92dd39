// Stage 2's road for a query whose verdict is not the everyday road's:
// any number's form read mark by mark, amounts the keys do not compare
// (more than 19 digits, or 19 that may saturate), and the values converted
// where the short cut of balance.h leaves the verdict open.  Out of line,
// so that the everyday road stays short and in registers; each entry is
// given the window's two words of bits, not the tokens found in them,
// which the everyday road would otherwise keep live for it, and finds the
// tokens again, once.
#ifndef BALANCE_CHECK_OTHER_FORMS_H
#define BALANCE_CHECK_OTHER_FORMS_H

#include <cstddef>

#include "stages/window.h"

namespace stages {

// Which tokens a sign leads, bit f for Field f, and which of those signs
// are '-', bit 4 + f.
struct Signs {
	unsigned bits;
	int at(Field f) const { return static_cast<int>((bits >> f) & 1); }
	bool minus(Field f) const { return ((bits >> (4 + f)) & 1) != 0; }
	// A '-' before the term or the rate: only then is the verdict open.
	bool term_or_rate_minus() const { return (bits & (1u << (4 + term) | 1u << (4 + rate))) != 0; }
};

// Field f's digits in window w, less its sign.
inline int digits_of(const Window& w, Signs s, Field f)
{
	return w.end[f] - w.start[f] - s.at(f);
}

// The verdict of the query in the window at q in `yes`, its form read from
// the bytes of its marks; false when the general path is to read it: not
// a number's form, a rate that one rounding does not convert exactly
// (value_of), or amounts both 0, which may end the run.
bool verdict_of_other_form(const char* q, u64 space, u64 digit, bool& yes);

// The same for a query whose form stage 2 has checked, its signs given:
// the amounts compared, as keys or converted, and where they leave the
// verdict open, the values converted.
bool verdict_by_value(const char* q, u64 space, u64 digit, Signs s, bool& yes);

// The verdict of a query whose form stage 2 has checked and whose amounts
// leave it open (something owed, a '-' before the term or the rate), from
// its values converted; false when one rounding does not convert the rate
// exactly (value_of).
bool verdict_of_open(const char* q, u64 space, u64 digit, Signs s, bool& yes);

// The verdict of a query whose four tokens end within the 64 bits given,
// and its length to the rate's end; false when the general path is to
// read it.
bool verdict_of_wide_window(const char* q, u64 space, u64 digit, bool& yes, std::size_t& length);

}  // namespace stages

#endif
