// Stage 2 against the general path: with every kernel, read in pieces of
// any size, the whole filter gives the general path's answers, status and
// diagnostic, query for query.
#include <algorithm>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "kernels/chosen.h"
#include "oracles/filter_harness.h"
#include "oracles/general_path.h"

namespace stages {
namespace {

void expect_as_general_path(const std::string& input, std::size_t piece)
{
	const Answers want = general_path_answers(input);
	kernels::for_each_kernel_here([&](auto kernel) {
		const char* const name = decltype(kernel)::name;
		ChunkedInput in{input, {piece}};
		Sink sink;
		const FilterRun r = run_whole_filter(in, sink, false, name);
		EXPECT_STREQ(r.kernel, name);
		EXPECT_EQ(r.status, want.status) << name << ": " << input;
		EXPECT_EQ(sink.text, want.out) << name << ": " << input;
		EXPECT_EQ(r.diagnostic, want.message) << name << ": " << input;
		EXPECT_TRUE(r.guard_intact) << name << ": " << input;
	});
}

// Amounts of 1 to 25 digits with signs and leading zeros, around the
// saturation points; rates whose sign hides in an exponent or is a zero's;
// every refused form in every field; tokens across 64-byte blocks and
// reads of every size.
TEST(Verdicts, EveryKernelAnswersAsTheGeneralPath)
{
	const char* amounts[] = {"9223372036854775807", "9223372036854775808", "-9223372036854775808",
	                         "-9223372036854775809", "0009223372036854775807", "99999999999999999999", "0",
	                         "-0", "+0", "00000000000000000000000", "12345678", "123456789", "1234567890123456", "123456789012345678",
	                         "223456789012345678", "12345678901234567", "22345678901234567",
	                         "1000000000000000000", "9219999999999999999", "9220000000000000000",
	                         "-9219999999999999999", "0000000001234567890"};
	const char* terms[] = {"0", "30", "+30", "-0", "-1", "-30", "000", "99999999999999999999", "-9223372036854775808"};
	const char* rates[] = {"0", "5.", ".5", "+.5", "-.5", "4.25", "1e-5", "-1e-5", "1e+5", "-0", "-0.0", "-0e5",
	                       "+0", "5.E-7", "2.5607576705966579e+00", "-1200", "-2400.5", "0e999", "1e400",
	                       "-1e-400", "123456789012345678901234.5", "0x1p3", "-inf", "nan", "1e5000", "1.e5",
	                       "+1.5E-3", "07e+0", "1.2345678901234567", "12.345678901234567890", "-1.5e22", "1.5e-22",
	                       "-1.5e23", "0000000000000000000012.5", "-0.000000012e+3", "-3e00000000001"};
	// Refused by stage 2, and by the general path too where it is no number.
	const char* refused[] = {"5.5.5", ".", "+", "-", "++1", "1+", "1-5", "x", "5,5", "\x01", "1e", "1e+", "e5",
	                         "1e5e5", "1e5.5", "1.5e-", "1e+-5", "1e1+5", "1ee5", "+.", "1.5", "1e5", "0x10", "inf", "5.-3",
	                         ".e5", "1e5.", "+e5", "1E+5x", "1e.5", "-+5"};
	const std::string gaps[] = {" ", "\n", "\t", "\r\n", "  ", "\v\f", std::string(70, ' ')};
	std::mt19937 rng(20);
	auto digits = [&](std::size_t n) {
		std::string d;
		while (d.size() < n)
			d += static_cast<char>('0' + rng() % 10);
		return d;
	};
	auto pick = [&](const auto& list) { return std::string(list[rng() % std::size(list)]); };
	// Amounts of every length to 18 digits that differ only in their first.
	for (std::size_t n = 1; n <= 18; ++n) {
		const std::string rest = digits(n - 1);
		expect_as_general_path("1" + rest + " 2" + rest + " 3 4\n2" + rest + " 1" + rest + " 3 4\n", 4096);
	}
	// And of 17 to 19 digits that differ only in their middle eight.
	for (std::size_t n = 17; n <= 19; ++n) {
		const std::string head = "1" + digits(n - 13), tail = digits(4);
		const std::string low = head + "00000000" + tail, high = head + "99999999" + tail;
		expect_as_general_path(low + ' ' + high + " -3 4\n" + high + ' ' + low + " -3 4\n" + high + ' ' + low +
		                           " 3 -4\n",
		                       4096);
	}
	// Amounts beyond strtoll's limit, which saturate and compare equal; 19
	// digits whose top words together pass the limit's; a point leading the
	// rate with signs elsewhere (once answered wrong by a miscompiled
	// reading of them).
	expect_as_general_path("9223372036854775808 9223372036854775807 1 1\n9999999999999999999 9300000000000000000 -1 1\n"
	                       "-9300000000000000000 -9999999999999999999 1 1\n9100000000000000000 200000000000000000 1 1\n"
	                       "200000000000000000 9100000000000000000 -1 1\n72422533 -0072704432709275521 +30 .5\n"
	                       "03386559652 -9219999999999999999 99999999999999999999 .5\n",
	                       4096);
	// A sign on each field in turn, and with the verdict left to the values.
	for (int field = 0; field < 4; ++field)
		for (const char* sign : {"+", "-"})
			for (const char* term : {"3", "-3"}) {
				std::string q[] = {"5", "2", term, "4.25"};
				q[field] = sign + q[field];
				expect_as_general_path(q[0] + ' ' + q[1] + ' ' + q[2] + ' ' + q[3] + "\n", 4096);
			}
	auto amount = [&]() {
		const std::string sign = rng() % 3 != 0 ? "" : rng() % 2 ? "+" : "-";
		return rng() % 3 == 0 ? pick(amounts) : sign + std::string(rng() % 3, '0') + digits(1 + rng() % 25);
	};
	for (const char* r : refused)
		for (int field = 0; field < 4; ++field) {
			std::string q[] = {"5", "7", "30", "4.25"};
			q[field] = r;
			expect_as_general_path("1 2 3 4\n" + q[0] + ' ' + q[1] + ' ' + q[2] + ' ' + q[3] + "\n5 6 7 8\n", 4096);
		}
	// A query across the end of a pass, over classes an earlier read left.
	std::string lines;
	for (int k = 0; k < 1534; ++k)
		lines += "1 2 3 4\n";
	expect_as_general_path(lines + "       1 2 3 4.2x\n" + lines.substr(0, 800), 8192);
	for (int run = 0; run < 200; ++run) {
		std::string input;
		const int queries = 1 + static_cast<int>(rng() % 100);
		for (int k = 0; k < queries; ++k) {
			std::string q[] = {amount(), amount(), rng() % 2 ? pick(terms) : digits(1 + rng() % 3), pick(rates)};
			if (rng() % 8 == 0)
				q[1] = q[0];  // nothing owed, or both 0
			if (rng() % 50 == 0)
				q[rng() % 4] = pick(refused);
			if (rng() % 40 == 0)
				q[0] = q[1] = q[2] = "0";  // may end the run
			for (const std::string& t : q)
				input += t + gaps[rng() % std::size(gaps)];
		}
		expect_as_general_path(input, run % 4 == 0 ? 1 + rng() % 200 : 4096);
	}
}

// The road each form takes, with every kernel: stage 2 answers every
// number's form it can settle or convert exactly, the general path the
// rest; a plain file is stage 2's but for the odd query at a read's end.
TEST(Verdicts, EachFormGoesByItsRoad)
{
	std::mt19937 rng(30);
	std::string plain;
	for (int k = 0; k < 20000; ++k)
		plain += std::to_string(rng() % 10000000) + ' ' + std::to_string(rng() % 10000000) + ' ' +
		         std::to_string(rng() % 41) + ' ' + std::to_string(rng() % 20) + '.' + std::to_string(rng() % 100) + '\n';
	constexpr std::uint64_t all = ~std::uint64_t{0};
	const struct {
		std::string queries;    // a thousand times, but for the plain file
		std::uint64_t general;  // the general path's answers at most, or all of them
	} cases[] = {
		{plain, 20},
		{"+1234567 -1230000 +30 +4.25\n", 0},
		{"1 2 -3 4\n", 0},  // pow decides
		{"1 2 3 2.5e+00\n", 0},
		{"0001234567 0001230000 030 004.2500\n", 0},
		{"123456789012345678 1 2 3\n", 0},
		{"1234567890123456789 1 -2 3\n", 0},  // 19 digits, and pow decides
		{"+1 -2 +3 -4.5e+00\n", 0},
		{"2 1 3 -4.5\n", 0},  // pow decides, on a signed rate
		{"1 2 3" + std::string(52, ' ') + "4\n", 0},  // longer than its window, not than 64 bytes
		{std::string(8, ' ') + "1 2 3" + std::string(50, ' ') + "4\n", 0},  // fits the window it starts
		{"1 2 3 0x1p3\n", all},
		{"1 2 3 inf\n", all},
		{"2 1 -3 123456789012345678901234.5\n", all},  // converted, in more than 19 digits
		{"1 2 3" + std::string(70, ' ') + "4\n", all},
	};
	for (const auto& c : cases) {
		std::string input;
		for (int k = 0; k < (c.queries.size() > 1000 ? 1 : 1000); ++k)
			input += c.queries;
		const auto queries = static_cast<std::uint64_t>(std::count(input.begin(), input.end(), '\n'));
		kernels::for_each_kernel_here([&](auto kernel) {
			ChunkedInput in{input + "0 0 0 0\n", {}};
			Sink sink;
			const RoadCounts roads = run_whole_filter(in, sink, false, decltype(kernel)::name).roads;
			const std::string trace = decltype(kernel)::name + (": " + c.queries.substr(0, 40));
			EXPECT_EQ(roads.window + roads.general, queries) << trace;
			if (c.general == all)
				EXPECT_EQ(roads.general, queries) << trace;
			else
				EXPECT_LE(roads.general, c.general) << trace;
		});
	}
}

}  // namespace
}  // namespace stages
