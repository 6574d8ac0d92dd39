// Stage 2, the verdicts: queries taken four token starts at a time from the
// index (stages/token_index.h), in any spacing and across line ends.  The classes
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
#include "stages/token_index.h"
#include "target.h"

namespace stages {

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
	return numbers::load_be64(e - 8) & (0x0f0f0f0f0f0f0f0fu >> (64 - 8 * n));
}

// An integer token of `length` bytes at t, digits after `sign` (0 or 1)
// sign bytes, as strtoll reads it: saturated at the 64-bit limits.  Up to
// 19 digits by their known count, longer ones (leading zeros, or far
// beyond the range) by the general path's scanner.
BALANCE_CHECK_INLINE std::int64_t integer_at(const char* t, int sign, int length)
{
	if (length - sign > numbers::max_fast_digits) {
		std::int64_t v = 0;
		numbers::scan_int64(t, v);
		return v;
	}
	return numbers::saturated(numbers::value_of_digits(t + sign, length - sign), sign != 0 && *t == '-');
}

// A query's tokens in bytes from its first byte, field by field: where
// each starts, and the white space that ends it.
enum Field { owed, deducted, term, rate };
struct Tokens {
	int start[4];
	int end[4];
};

// A query's class bits from its first byte on, each up to its end (white
// space also at the end itself), and the bytes of the query and its rate.
struct QueryBits {
	u64 space, digit, point, sign, letter;
	u64 query, rate;
};

// Whether the query has the form of three integers and a rate: digits
// after an optional sign, and in the rate digits before and after at most
// one point, then at most one exponent letter with an optional sign and
// digits.  Anything else is the general path's, which takes hexadecimal,
// inf and nan, and judges what is wrong.
BALANCE_CHECK_INLINE bool has_number_form(const Tokens& t, const QueryBits& b)
{
	const u64 token_starts = 1 | u64{1} << t.start[deducted] | u64{1} << t.start[term] | u64{1} << t.start[rate];
	const u64 mantissa = b.rate & ((b.letter & (~b.letter + 1)) - 1);  // before the letter, or all
	const u64 other = ~b.space & ~(b.digit | b.point | b.sign | b.letter) & b.query;
	const u64 misplaced = other | (b.letter & ~b.rate) | (b.letter & (b.letter - 1)) |
	                      (b.sign & ~(token_starts | b.letter << 1)) | (b.point & ~mantissa) |
	                      (b.point & (b.point - 1)) | ((b.sign | b.letter) & (b.space >> 1));  // last in a token
	return misplaced == 0 && (b.digit & mantissa) != 0;
}

enum class Order { at_most, more, both_zero };

// The owed amount against the deducted, tokens of the query at q whose
// digits, after an optional sign, number as given.  Compared as keys up to
// 16 digits, else converted.
BALANCE_CHECK_INLINE Order compare_amounts(const char* q, const Tokens& t, int owed_digits, int deducted_digits)
{
	const char* const owed_end = q + t.end[owed];
	const char* const deducted_end = q + t.end[deducted];
	const bool owed_minus = q[0] == '-', deducted_minus = q[t.start[deducted]] == '-';
	if (((owed_digits - 1) | (deducted_digits - 1)) < 16) {
		// Two words each: the last 8 digits, and those before them.
		const u64 owed_low = digits_key(owed_end, owed_digits < 8 ? owed_digits : 8),
		          deducted_low = digits_key(deducted_end, deducted_digits < 8 ? deducted_digits : 8);
		const u64 owed_high = owed_digits > 8 ? digits_key(owed_end - 8, owed_digits - 8) : 0,
		          deducted_high = deducted_digits > 8 ? digits_key(deducted_end - 8, deducted_digits - 8) : 0;
		if ((owed_low | deducted_low | owed_high | deducted_high) == 0)
			return Order::both_zero;
		// Bitwise, not branching on the answer, which no predictor knows.
		const bool high_equal = owed_high == deducted_high;
		const bool less = (owed_high < deducted_high) | (high_equal & (owed_low < deducted_low));
		const bool equal = high_equal & (owed_low == deducted_low);
		// Not both 0: a negative amount is below any other sign's.
		const bool at_most = owed_minus != deducted_minus ? owed_minus : equal | (less != owed_minus);
		return at_most ? Order::at_most : Order::more;
	}
	const int deducted_length = t.end[deducted] - t.start[deducted];
	const std::int64_t dlh = integer_at(q, t.end[owed] - owed_digits, t.end[owed]),
	                   spl = integer_at(q + t.start[deducted], deducted_length - deducted_digits, deducted_length);
	if (dlh == 0 && spl == 0)
		return Order::both_zero;
	return dlh <= spl ? Order::at_most : Order::more;
}

enum class Stop {
	general,       // the next query is the general path's
	index,         // the index needs another pass first
	write_failed,  // out.error says why
};

// The answer to the query whose first byte is at q, byte `at` of the
// index's data; false when the general path is to read it.
template <typename Index>
BALANCE_CHECK_INLINE bool answer_query(const char* q, const Tokens& t, QueryBits b, const Index& ix,
                                       std::uint32_t at, bool& yes)
{
	const u64 marks = ~b.space & ~b.digit & b.query;  // token bytes that are not digits
	if ((marks & ~(b.point & b.rate)) != 0 || (marks & (marks - 1)) != 0 || (b.digit & b.rate) == 0) {
		// Not the everyday form (digits, and at most one point in the
		// rate): signs and exponents are checked with their own bits.
		b.sign = bits_from(ix.sign, at) & b.query;
		b.letter = bits_from(ix.letter, at) & b.query;
		if (!has_number_form(t, b))
			return false;
	}
	auto sign_bytes = [&](Field f) { return static_cast<int>((b.sign >> t.start[f]) & 1); };
	const int signs[2] = {sign_bytes(owed), sign_bytes(deducted)};
	const int owed_digits = t.end[owed] - signs[owed];
	const int deducted_digits = t.end[deducted] - t.start[deducted] - signs[deducted];
	if (((owed_digits - 1) | (deducted_digits - 1)) < 8) {
		// Amounts of up to 8 digits, compared as keys.  Under 2^60, so
		// signed they compare as the values.
		const auto owed_key = static_cast<std::int64_t>(digits_key(q + t.end[owed], owed_digits)),
		           deducted_key = static_cast<std::int64_t>(digits_key(q + t.end[deducted], deducted_digits));
		if ((owed_key | deducted_key) == 0)  // may be the terminating query
			return false;
		if (b.sign == 0) {  // the everyday query: the term and the rate are 0 or more
			yes = owed_key <= deducted_key;
			return true;
		}
		const bool owed_minus = signs[owed] != 0 && q[0] == '-';
		const bool deducted_minus = signs[deducted] != 0 && q[t.start[deducted]] == '-';
		yes = (owed_minus ? -owed_key : owed_key) <= (deducted_minus ? -deducted_key : deducted_key);
	} else {
		const Order order = compare_amounts(q, t, owed_digits, deducted_digits);
		if (order == Order::both_zero)  // may be the terminating query
			return false;
		yes = order == Order::at_most;
	}
	// Something owed: with a term and a rate of 0 or more the growth is at
	// least 1 and a balance remains (balance.h).  Only a '-' before either
	// makes their values matter.
	// Bitwise, so that the only branch is on a '-' being there at all.
	auto minus = [&](Field f) { return (sign_bytes(f) != 0) & (q[t.start[f]] == '-'); };
	if (!((!yes) & (minus(term) | minus(rate))))
		return true;
	double urok;
	if (numbers::scan_double_fast(q + t.start[rate], urok) != q + t.end[rate])
		return false;  // the whole token converted only by the general path
	auto integer = [&](Field f) { return integer_at(q + t.start[f], sign_bytes(f), t.end[f] - t.start[f]); };
	yes = evaluate(BalanceQuery{integer(owed), integer(deducted), integer(term), urok}) == Verdict::yes;
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
	// Queries whose four starts are listed, the first below the limit.
	const std::size_t listed = below_limit + 3 < ix.count ? below_limit : ix.count > 3 ? ix.count - 3 : 0;
	const char* answered_to = r.pos;
	const std::size_t first = i;
	bool refused = false;
	while (i < listed && !refused) {
		if (sizeof out.buffer - out.length < 4 && !output_flush(out))
			return Stop::write_failed;
		// As many as the answers' room holds, each checked only for its form.
		const std::size_t room = (sizeof out.buffer - out.length) / 4;
		const std::size_t end = listed - i > 4 * room ? i + 4 * room : listed;
		std::size_t length = out.length;
		for (; i < end; i += 4) {
			const std::uint32_t query_start = ix.starts[i];
			Tokens t;
			for (int f = 0; f < 4; ++f)
				t.start[f] = static_cast<int>(ix.starts[i + static_cast<std::size_t>(f)] - query_start);
			QueryBits b{};  // sign and letter: read only where the form needs them
			b.space = bits_from(ix.space, query_start);
			const u64 after_rate = b.space & from_bit(t.start[rate] & 63);
			if (t.start[rate] >= 57 || after_rate == 0) {  // the query runs past the bits loaded, or the data
				refused = true;
				break;
			}
			for (int f = 0; f < 3; ++f)
				t.end[f] = numbers::countr_zero(b.space & from_bit(t.start[f]));
			t.end[rate] = numbers::countr_zero(after_rate);
			b.query = (u64{1} << t.end[rate]) - 1;
			b.rate = b.query & from_bit(t.start[rate]);
			b.digit = bits_from(ix.digit, query_start) & b.query;
			b.point = bits_from(ix.point, query_start) & b.query;
			const char* const q = data + query_start;
			bool yes;
			if (!answer_query(q, t, b, ix, query_start, yes)) {
				refused = true;
				break;
			}
			std::memcpy(out.buffer + length, answer_lines[yes], 4);  // indexed: answers are unpredictable
			length += 3 + static_cast<std::size_t>(yes);
			answered_to = q + t.end[rate];
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

}  // namespace stages

#endif
