// Stage 2's road for a query in any form but the everyday one: signs,
// exponents, amounts of more than 16 digits.  Out of line, so that the
// everyday road stays short and in registers; it is given the bits, not
// the window found in them, so that the window stays in the road's
// registers too, and each entry finds the tokens again, once.
#ifndef BALANCE_CHECK_OTHER_FORMS_H
#define BALANCE_CHECK_OTHER_FORMS_H

#include <cstddef>

#include "stages/window.h"

namespace stages {

// The verdict of the query in the window at q, with the class bits given,
// in `yes`; false when the general path is to read it: not a number's
// form, a rate that needs more than 19 digits converted, or amounts both
// 0, which may end the run.
bool verdict_of_other_form(const char* q, u64 space, u64 digit, bool& yes);

// The verdict of a query whose form stage 2 has checked, from its values
// converted, the sign bytes at its tokens' first bytes given; false when
// the rate needs more than 19 digits converted.
bool verdict_by_value(const char* q, u64 space, u64 digit, u64 signs, bool& yes);

// The verdict of a query whose four tokens end within the 64 bits given,
// and its length to the rate's end; false when the general path is to
// read it.
bool verdict_of_wide_window(const char* q, u64 space, u64 digit, bool& yes, std::size_t& length);

}  // namespace stages

#endif
