// The --explain line at the extremes: every field reads back to the value
// computed; the difference is the once-rounded one, the periods saturate.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "balance.h"
#include "explain.h"

namespace {

constexpr std::int64_t max = INT64_MAX, min = INT64_MIN;
const double inf = HUGE_VAL, nan = std::nan("");

TEST(Explanation, ReadsBack)
{
	struct Row { BalanceQuery q; double difference; std::int64_t periods; };
	const Row rows[] = {
		{{max, -1025, max / 12, 1e-7}, 9223372036854775808.0, max / 12 * 12},  // a tie, to even
		{{min + 1, 1025, max / 12 + 1, 1e+300}, -9223372036854775808.0, max},
		{{max, min, min / 12, -1e-300}, 18446744073709551616.0, min / 12 * 12},
		{{-1, max, min / 12 - 1, -2.2250738585072014e-308}, min, min},
		{{1, 0, -1, -inf}, 1, -12},
		{{0, 0, 1, nan}, 0, 12},
		{{10000000000000000, 0, 0, 0}, 1e16, 0},  // a whole number that prints shorter as 1e+16
	};
	for (const Row& r : rows) {
		const Evaluation e = evaluate_steps(r.q);
		EXPECT_EQ(e.difference, r.difference);
		EXPECT_EQ(e.periods, r.periods);
		char line[max_explanation_length];
		const std::string text(line, format_explanation(r.q, e, line));
		const char* p = text.c_str();
		auto field = [&](const char* label) {  // p at the value after the label
			EXPECT_EQ(std::strncmp(p, label, std::strlen(label)), 0) << text;
			p += std::strlen(label);
		};
		auto integer = [&](const char* label) {
			field(label);
			char* end;
			const long long v = std::strtoll(p, &end, 10);
			p = end;
			return std::int64_t{v};
		};
		auto real = [&](const char* label, double want) {
			field(label);
			char* end;
			const double v = std::strtod(p, &end);
			EXPECT_TRUE(v == want ? std::signbit(v) == std::signbit(want) : v != v && want != want)
				<< label << " in " << text;
			p = end;
		};
		EXPECT_EQ(integer(""), r.q.dlh);
		EXPECT_EQ(integer(" "), r.q.spl);
		EXPECT_EQ(integer(" "), r.q.rok);
		real(" ", r.q.urok);
		real(": difference ", e.difference);
		EXPECT_EQ(integer(", periods "), e.periods);
		real(", monthly factor ", e.monthly_factor);
		real(", growth ", e.growth);
		real(", grown balance ", e.grown_balance);
		EXPECT_EQ(integer(", remaining balance "), e.remaining_balance);
		EXPECT_STREQ(p, e.verdict == Verdict::yes ? ", yes\n" : ", no\n");
	}
}

}  // namespace
