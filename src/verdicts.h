// Stage 2, the verdicts: queries taken four token starts at a time from the
// index (token_index.h), in any spacing and across line ends.  The classes
// of the 64 bytes from a query's first byte give its token ends and check
// its form, and only what the verdict needs is converted: the amounts, and
// the term and rate only where a '-' may make them negative.  Written once
// for every kernel.  A query it does not take is left to the general path
// (general_query.cpp), the one judge of errors: hexadecimal, inf and nan,
// junk, a query longer than 64 bytes or running past the data, a rate
// that needs more than 19 digits converted, and a query whose amounts are
// both 0, which may end the run.
#ifndef BALANCE_CHECK_VERDICTS_H
#define BALANCE_CHECK_VERDICTS_H

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "balance.h"
#include "numbers/bit_scan.h"
#include "numbers/byte_order.h"
#include "numbers/digits.h"
#include "numbers/exact_value.h"
#include "numbers/scanners.h"
#include "output.h"
#include "query_reader.h"
#include "target.h"

namespace verdicts {

using u64 = std::uint64_t;

// Bits `from` and above.
BALANCE_CHECK_INLINE u64 from_bit(int from)
{
	return ~u64{0} << from;
}

// The n (1 to 8) digits that end at e as a big-endian number of their
// digit values, a byte each, with zero bytes before them: two such keys
// compare as the numbers do, leading zeros and all.  Reads the 8 bytes
// before e.
BALANCE_CHECK_INLINE u64 digits_key(const char* e, int n)
{
	return bits::load_be64(e - 8) & (0x0f0f0f0f0f0f0f0fu >> (64 - 8 * n));
}

// The value of n (1 to 19) digits at d, eight at a time; 19 digits always
// fit in 64 bits.  Reads up to 7 bytes past them.
BALANCE_CHECK_INLINE u64 digits_at(const char* d, int n)
{
	if (n <= 8)
		return digits_value(bits::load_le64(d), n);
	const u64 last8 = digits_value(bits::load_le64(d + n - 8), 8);
	if (n <= 16)
		return digits_value(bits::load_le64(d), n - 8) * pow10_u64[8] + last8;
	const u64 first = digits_value(bits::load_le64(d), n - 16) * pow10_u64[8] +
	                  digits_value(bits::load_le64(d + n - 16), 8);
	return first * pow10_u64[8] + last8;
}

// An integer token of `length` bytes at t, digits after `sign` (0 or 1)
// sign bytes, as strtoll reads it: saturated at the 64-bit limits.
BALANCE_CHECK_INLINE std::int64_t integer_at(const char* t, int sign, int length)
{
	if (length - sign > max_fast_digits) {  // leading zeros, or far beyond the range
		std::int64_t v = 0;
		scan_int64(t, v);
		return v;
	}
	return saturated(digits_at(t + sign, length - sign), sign != 0 && *t == '-');
}

// Whether the query's tokens, at starts 0 and r1 to r3 with the rate's end
// at e3, and their class bits from the query's first byte, have the form of
// three integers and a rate: digits after an optional sign, and in the rate
// digits before and after at most one point, then at most one exponent
// letter with an optional sign and digits.  Anything else is the general
// path's, which takes hexadecimal, inf and nan, and judges what is wrong.
BALANCE_CHECK_INLINE bool has_number_form(int r1, int r2, int r3, int e3, u64 space, u64 digit, u64 point,
                                          u64 sign, u64 letter)
{
	const u64 query = (u64{1} << e3) - 1;
	const u64 rate = query & from_bit(r3);
	const u64 token_starts = 1 | u64{1} << r1 | u64{1} << r2 | u64{1} << r3;
	const u64 mantissa = rate & ((letter & (~letter + 1)) - 1);  // before the letter, or all
	const u64 other = ~space & ~(digit | point | sign | letter) & query;
	const u64 misplaced = other | (letter & ~rate) | (letter & (letter - 1)) |
	                      (sign & ~(token_starts | letter << 1)) | (point & ~mantissa) | (point & (point - 1)) |
	                      ((sign | letter) & (space >> 1));  // last in a token
	return misplaced == 0 && (digit & mantissa) != 0;
}

enum class Order { at_most, more, both_zero };

// dlh against spl: tokens at `owed` and `deducted`, each with an optional
// sign before its digits, n of them, which end at the ends given.
// Compared as keys up to 16 digits, else converted.
BALANCE_CHECK_INLINE Order compare_amounts(const char* owed, const char* owed_end, int owed_digits,
                                           const char* deducted, const char* deducted_end, int deducted_digits)
{
	const bool owed_minus = *owed == '-', deducted_minus = *deducted == '-';
	if (((owed_digits - 1) | (deducted_digits - 1)) < 16) {
		// Two words each: the last 8 digits, and those before them.
		const u64 low0 = digits_key(owed_end, owed_digits < 8 ? owed_digits : 8),
		          low1 = digits_key(deducted_end, deducted_digits < 8 ? deducted_digits : 8);
		const u64 high0 = owed_digits > 8 ? digits_key(owed_end - 8, owed_digits - 8) : 0,
		          high1 = deducted_digits > 8 ? digits_key(deducted_end - 8, deducted_digits - 8) : 0;
		if ((low0 | low1 | high0 | high1) == 0)
			return Order::both_zero;
		const bool less = high0 < high1 || (high0 == high1 && low0 < low1);
		const bool equal = high0 == high1 && low0 == low1;
		// Not both 0: a negative amount is below any other sign's.
		const bool at_most = owed_minus != deducted_minus ? owed_minus : equal || less != owed_minus;
		return at_most ? Order::at_most : Order::more;
	}
	const auto owed_length = static_cast<int>(owed_end - owed),
	           deducted_length = static_cast<int>(deducted_end - deducted);
	const std::int64_t dlh = integer_at(owed, owed_length - owed_digits, owed_length),
	                   spl = integer_at(deducted, deducted_length - deducted_digits, deducted_length);
	if (dlh == 0 && spl == 0)
		return Order::both_zero;
	return dlh <= spl ? Order::at_most : Order::more;
}

enum class Stop {
	general,       // the next query is the general path's
	index,         // the index needs another pass first
	write_failed,  // out.error says why
};

// The answer to the query whose first byte is at q, with its token starts
// r1 to r3 and ends e0 to e3 from there, and the bits of its classes from
// there on: white space whole, the others up to the query's end.  False
// when the general path is to read it.
BALANCE_CHECK_INLINE bool answer_query(const char* q, int r1, int r2, int r3, int e0, int e1, int e2, int e3,
                                       u64 space, u64 digit, u64 point, u64 sign, u64 letter, bool& yes)
{
	const u64 query = (u64{1} << e3) - 1;
	const u64 rate = query & from_bit(r3);
	const u64 marks = ~space & ~digit & query;  // token bytes that are not digits
	if ((marks & ~(point & rate)) != 0 || (marks & (marks - 1)) != 0 || (digit & rate) == 0) {
		// Not the everyday form (digits, and at most one point in the
		// rate): signs and exponents are checked with their own bits.
		if (!has_number_form(r1, r2, r3, e3, space, digit, point, sign, letter))
			return false;
	} else {
		sign = 0;
	}
	const int g0 = static_cast<int>(sign & 1), g1 = static_cast<int>((sign >> r1) & 1);
	const int n0 = e0 - g0, n1 = e1 - r1 - g1;  // the amounts' digits
	if (((n0 - 1) | (n1 - 1)) < 8) {
		// Amounts of up to 8 digits, compared as keys.  Under 2^60, so
		// signed they compare as the values.
		const auto k0 = static_cast<std::int64_t>(digits_key(q + e0, n0)),
		           k1 = static_cast<std::int64_t>(digits_key(q + e1, n1));
		if ((k0 | k1) == 0)  // may be the terminating query
			return false;
		if (sign == 0) {  // the everyday query: the term and the rate are 0 or more
			yes = k0 <= k1;
			return true;
		}
		yes = (g0 != 0 && *q == '-' ? -k0 : k0) <= (g1 != 0 && q[r1] == '-' ? -k1 : k1);
	} else {
		const Order order = compare_amounts(q, q + e0, n0, q + r1, q + e1, n1);
		if (order == Order::both_zero)  // may be the terminating query
			return false;
		yes = order == Order::at_most;
	}
	// Something owed: with a term and a rate of 0 or more the growth is at
	// least 1 and a balance remains (balance.h).  Only a '-' before either
	// makes their values matter.
	const int g2 = static_cast<int>((sign >> r2) & 1), g3 = static_cast<int>((sign >> r3) & 1);
	if (yes || ((g2 == 0 || q[r2] != '-') && (g3 == 0 || q[r3] != '-')))
		return true;
	double urok;
	if (scan_double_fast(q + r3, urok) != q + e3)
		return false;  // the whole token converted only by the general path
	const BalanceQuery full{integer_at(q, g0, e0), integer_at(q + r1, g1, e1 - r1), integer_at(q + r2, g2, e2 - r2),
	                        urok};
	yes = evaluate(full) == Verdict::yes;
	return true;
}

// Answers the indexed queries from r.pos on, until one it does not take or
// the index runs out, and leaves r.pos at the first one it did not answer.
BALANCE_CHECK_INLINE Stop answer_indexed(QueryReader& r, Output& out)
{
	auto& ix = r.index;
	const char* const data = r.data();
	std::size_t i = ix.first;
	const auto pos = static_cast<std::uint32_t>(r.pos - data);
	while (i < ix.count && ix.starts[i] < pos)  // the general path read these
		++i;
	// Queries may start before the limit: the bits from a query's first
	// byte on read that byte's block and the next.
	std::size_t below_limit = ix.count;
	if (!ix.complete) {
		const std::size_t limit = ix.classified > 0 ? (ix.classified - 1) * kernels::block_bytes : 0;
		while (below_limit > i && ix.starts[below_limit - 1] >= limit)
			--below_limit;
	}
	const std::size_t whole = below_limit + 3 < ix.count ? below_limit : ix.count > 3 ? ix.count - 3 : 0;
	const char* answered_to = r.pos;
	const std::size_t first = i;
	bool refused = false;
	while (i < whole && !refused) {
		if (sizeof out.buffer - out.length < 4 && !output_flush(out))
			return Stop::write_failed;
		// As many as the answers' room holds, each checked only for its form.
		const std::size_t room = (sizeof out.buffer - out.length) / 4;
		const std::size_t end = whole - i > 4 * room ? i + 4 * room : whole;
		std::size_t length = out.length;
		for (; i < end; i += 4) {
			const std::uint32_t s0 = ix.starts[i];
			const int r1 = static_cast<int>(ix.starts[i + 1] - s0), r2 = static_cast<int>(ix.starts[i + 2] - s0),
			          r3 = static_cast<int>(ix.starts[i + 3] - s0);
			const u64 space = bits_from(ix.space, s0);
			const u64 after_rate = space & from_bit(r3 & 63);
			if (r3 >= 57 || after_rate == 0) {  // the query runs past the bits loaded, or the data
				refused = true;
				break;
			}
			const int e0 = bits::countr_zero(space), e1 = bits::countr_zero(space & from_bit(r1)),
			          e2 = bits::countr_zero(space & from_bit(r2)), e3 = bits::countr_zero(after_rate);
			const u64 query = (u64{1} << e3) - 1;
			const char* const q = data + s0;
			bool yes;
			if (!answer_query(q, r1, r2, r3, e0, e1, e2, e3, space, bits_from(ix.digit, s0) & query,
			                  bits_from(ix.point, s0) & query, bits_from(ix.sign, s0) & query,
			                  bits_from(ix.letter, s0) & query, yes)) {
				refused = true;
				break;
			}
			std::memcpy(out.buffer + length, answer_lines[yes], 4);  // indexed: answers are unpredictable
			length += 3 + static_cast<std::size_t>(yes);
			answered_to = q + e3;
		}
		out.length = length;
	}
	r.query_number += (i - first) / 4;
	ix.first = i;
	r.pos = i < ix.count ? data + ix.starts[i] : answered_to;
	if (refused)
		return Stop::general;
	return ix.complete ? Stop::general : Stop::index;
}

}  // namespace verdicts

#endif
