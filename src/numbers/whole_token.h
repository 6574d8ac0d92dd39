// Whole-token conversion: a token whose bounds are known, in any form the C
// library reads, is accepted only as a number from its first byte to its
// last; integers as strtoll reads them in base 10, the rate as strtod
// reads it.  The general path's answer for every form the scanners leave.
#ifndef BALANCE_CHECK_WHOLE_TOKEN_H
#define BALANCE_CHECK_WHOLE_TOKEN_H

#include <cstddef>
#include <cstdint>

namespace numbers {

// The longest token accepted; longer tokens are rejected, never cut.
constexpr std::size_t max_token_length = 4096;

// Whole-token conversions, for the forms the fast scanners leave and for
// tests: true when the entire token [first, last) is accepted, with exactly
// the value strtoll / strtod give.
bool parse_int64_token(const char* first, const char* last, std::int64_t& value);
bool parse_double_token(const char* first, const char* last, double& value);

// The same through the C library's strtod alone: what parse_double_token
// does where the standard library has no exact from_chars for double.
bool parse_double_token_by_strtod(const char* first, const char* last, double& value);

}  // namespace numbers

#endif
