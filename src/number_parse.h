// Exact conversion of query tokens: integers as strtoll reads them in base
// 10, the rate as strtod reads it.
#ifndef BALANCE_CHECK_NUMBER_PARSE_H
#define BALANCE_CHECK_NUMBER_PARSE_H

#include <cstddef>
#include <cstdint>

// The longest token accepted; longer tokens are rejected, never cut.
constexpr std::size_t max_token_length = 4096;

// The scan_* functions read from p without a length: the text must be
// followed, somewhere, by a byte that ends every number (the reader keeps
// a NUL after its data).  They return the end of the number they read.

// Optional sign, then decimal digits; saturates as strtoll does.  Returns p
// when there are no digits.
const char* scan_int64(const char* p, std::int64_t& value);

// Fast exact path for plain decimals of at most 19 significant digits that
// convert with one rounding.  Returns nullptr when the text is outside it;
// the caller then converts the whole token with parse_double_token.
const char* scan_double_fast(const char* p, double& value);

// Whole-token conversions: true when the entire token [first, last) is
// accepted, with exactly the value strtoll / strtod give.
bool parse_int64_token(const char* first, const char* last, std::int64_t& value);
bool parse_double_token(const char* first, const char* last, double& value);

#endif
