// Whole-token conversion of a rate: a token whose bounds are known, in any
// form strtod reads, is accepted only as a number from its first byte to
// its last.  The general path's answer for every form the fast scanner
// leaves.
#ifndef BALANCE_CHECK_WHOLE_TOKEN_H
#define BALANCE_CHECK_WHOLE_TOKEN_H

#include <cstddef>

#include "layout.h"

namespace numbers {

// The longest token accepted; longer tokens are rejected, never cut.
constexpr std::size_t max_token_length = longest_token;

// True when the entire token [first, last) is accepted, with exactly the
// value strtod gives.  An integer needs no such conversion: it is whole
// when scan_int64 stops at the white space after it.
bool parse_double_token(const char* first, const char* last, double& value);

// The same through the C library's strtod alone: what parse_double_token
// does where the standard library has no exact from_chars for double.
bool parse_double_token_by_strtod(const char* first, const char* last, double& value);

}  // namespace numbers

#endif
