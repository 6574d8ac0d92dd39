// The fast path against the general path, bit for bit.
#include <cstring>
#include <iterator>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "general_query.h"
#include "reader_harness.h"

namespace {

// The fast path takes everyday queries in one go; the general path must
// give the same values for them, bit for bit, on the edges of its
// forms: 8 and 9 digits, 16 and 17, 19 and 20 (saturated), 2^53, signs, every
// white space.
TEST(EverydayQuery, FastPathAgreesWithGeneralPath)
{
	std::mt19937_64 rng(4);
	auto digits = [&](std::uint64_t n) {
		std::string d;
		for (std::uint64_t i = 0; i < n; ++i)
			d += static_cast<char>('0' + rng() % 10);
		return d;
	};
	const char* fixed_rates[] = {"9007199254740992", "9007199254740993", "900719925474099.3",
	                             "9999999999999999999", "1234567890.123456789", "0.1234567890123456789",
	                             "12345678901234567.89", "00000000000000000001", "18446744073709551615",
	                             "5.", "0.5", "1234567.123456789012", "1.000000000000000000",
	                             "00.00", "7", "9007.199254740993", "0.9007199254740993",
	                             "90071992.54740993", "90071992.54740991", "1e22", "1e23", "1E-22",
	                             "1.e5", "9007199254740993e-22", "1.5E+3", "0e999", "0.0e-5", "1e0999",
	                             "123456789012345678.9e-5", "5e-324", "1.7976931348623157e308",
	                             // a hair either side of the midpoints around 1 and 2^53
	                             "0.9999999999999999444", "0.9999999999999999445", "1.000000000000000111",
	                             "1.000000000000000112", "9007199254740991.5", "9007199254740991.4999"};
	const char* fixed_integers[] = {"9223372036854775807", "9223372036854775808", "9999999999999999999",
	                                "0000000000000000001", "00000000000000000001"};
	const char* separators[] = {" ", " ", " ", "  ", "\t", " \r\n", "\n\n\n", "\v\f"};
	std::string input;
	auto sign = [&]() -> std::string { return rng() % 4 ? "" : rng() % 2 ? "-" : "+"; };
	for (int i = 0; i < 20000; ++i) {
		for (int field = 0; field < 3; ++field)
			input += sign() + (i % 10 == field + 1 ? fixed_integers[rng() % std::size(fixed_integers)]
			                                       : digits(1 + rng() % (rng() % 4 ? 10 : 21))) +
			         separators[rng() % 8];
		if (i % 10 == 0)
			input += sign() + fixed_rates[rng() % std::size(fixed_rates)];
		else
			input += sign() + digits(1 + rng() % (rng() % 4 ? 8 : 20)) + (rng() % 4 ? "." + digits(rng() % 20) : "") +
			         (rng() % 4 ? "" : (rng() % 2 ? "e" : "E") + sign() + digits(1 + rng() % 4));
		input += separators[rng() % 8];
	}
	// Each everyday form is taken by the fast path itself, not only left to
	// the general one (which gives the same values, as below).
	struct Form {
		const char* text;
		bool taken;
	};
	for (const Form f : {Form{"1 2 3 4 ", true}, Form{"-1 +2 -3 +4.5\r\n", true},
	                     Form{"0001 2 3 .5e1 ", false}, Form{"1 2 3 4.5e-3 ", true},
	                     Form{"9223372036854775808 2 3 1234567890.123456789\t", true},
	                     Form{"1 2 3 1.E+22 ", true}, Form{"1 2 3 1e1234 ", false}}) {
		char padded[everyday_front_padding + 128] = {};
		std::memcpy(padded + everyday_front_padding, f.text, std::strlen(f.text));
		BalanceQuery q;
		EXPECT_EQ(read_everyday_query(padded + everyday_front_padding, q) != nullptr, f.taken) << f.text;
	}
	ChunkedInput in{input, {}};
	auto fast = std::make_unique<QueryReader>(), general = std::make_unique<QueryReader>();
	reader_init(*fast, read_chunk, &in);
	refill(*fast);
	ChunkedInput again{input, {}};
	reader_init(*general, read_chunk, &again);
	refill(*general);
	int queries = 0;
	for (;;) {
		if (fast->fields == 0)
			expect_kernels_agree(fast->pos);
		BalanceQuery a, b;
		const ReadStatus sa = next_query(*fast, a);
		const ReadStatus sb = next_query_general(*general, b);
		ASSERT_EQ(sa, sb);
		if (sa == ReadStatus::need_input) {
			refill(*fast);
			refill(*general);
			continue;
		}
		if (sa != ReadStatus::query)
			break;
		ASSERT_EQ(std::memcmp(&a, &b, sizeof a), 0) << a.dlh << ' ' << a.spl << ' ' << a.rok;
		++queries;
	}
	EXPECT_EQ(queries, 20000);
}

}  // namespace
