#include <cmath>
#include <cstdint>
#include <limits>
#include <random>

#include <gtest/gtest.h>

#include "balance.h"

namespace {

constexpr std::int64_t max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t min = std::numeric_limits<std::int64_t>::min();
constexpr double inf = std::numeric_limits<double>::infinity();
const double nan = std::nan("");

struct Case {
	BalanceQuery q;
	std::int64_t remaining;
	Verdict verdict;
};

void expect_case(const Case& c)
{
	const Evaluation e = evaluate_steps(c.q);
	SCOPED_TRACE(testing::Message() << c.q.dlh << ' ' << c.q.spl << ' ' << c.q.rok << ' '
	                                << c.q.urok << " grown " << e.grown_balance);
	EXPECT_EQ(e.remaining_balance, c.remaining);
	EXPECT_EQ(e.verdict, c.verdict);
	EXPECT_EQ(evaluate(c.q), c.verdict) << "the short cut must agree";
}

TEST(Evaluation, WorkedCases)
{
	const Case cases[] = {
		{{100, 99, 1, 5}, 1, Verdict::no},
		{{100, 100, 10, 7.5}, 0, Verdict::yes},
		{{100, 101, 30, 3}, -2, Verdict::yes},
		{{2, 1, 10, -100}, 0, Verdict::yes},
		{{5, 1, 0, 12}, 4, Verdict::no},
		{{1, 0, 1, 0}, 1, Verdict::no},
		{{0, 0, 1, 0}, 0, Verdict::yes},
		{{1, 0, -1, 12}, 0, Verdict::yes},
		{{3, 1, -1, 12}, 1, Verdict::no},
		{{1, 0, -1, 3e-13}, 0, Verdict::yes},
		{{10, 0, 1, -1200}, 0, Verdict::yes},
		{{10, 0, 0, -1200}, 10, Verdict::no},
		{{1, 0, 1, -2400}, 1, Verdict::no},
	};
	for (const Case& c : cases)
		expect_case(c);
}

TEST(Evaluation, WorkedExampleIntermediates)
{
	const Evaluation e = evaluate_steps({100, 99, 1, 5});
	EXPECT_EQ(e.difference, 1.0);
	EXPECT_EQ(e.periods, 12);
	EXPECT_EQ(e.monthly_factor, 1.0041666666666667);
	// pow's last bits are the C library's own: mingw-w64's is two ulps off here.
	EXPECT_NEAR(e.growth, 1.051161897881733, 4 * 0x1p-52);
	EXPECT_EQ(e.grown_balance, e.growth);
}

// Each verdict flips if the monthly factor is computed any other way: with a
// fused multiply-add, as urok / 1200 in one step, or with 0.01 applied first.
TEST(Evaluation, OrderOfOperationsDecides)
{
	const Case cases[] = {
		{{3, 0, -2, 56.207258072787916}, 0, Verdict::yes},  // each other way: no
		{{2, 0, -2, 35.162683972190358}, 1, Verdict::no},   // fused: yes
		{{2, 0, -1, 71.35571323115424}, 0, Verdict::yes},   // /1200, 0.01 first: no
		{{2, 0, -3, 23.328772442573921}, 0, Verdict::yes},  // /1200: no
		{{4, 0, -1, 146.95445797124748}, 1, Verdict::no},   // 0.01 first: yes
	};
	for (const Case& c : cases)
		expect_case(c);
}

// Where plain 64-bit arithmetic would wrap or convert out of range.
TEST(Evaluation, NoWrapAndSaturatedBalances)
{
	const Case cases[] = {
		// dlh - spl overflows: owed far more than deducted is still owed.
		{{max, -1, 0, 0}, max, Verdict::no},
		{{max, min, 1, 5}, max, Verdict::no},
		{{min, 1, 0, 0}, min, Verdict::yes},
		{{-1, max, 0, 0}, min, Verdict::yes},
		// rok * 12 overflows: the exponent saturates and stays even.
		{{1, 0, max, 5}, max, Verdict::no},     // growth +inf
		{{1, 0, min, 5}, 0, Verdict::yes},      // growth 0
		{{-1, 0, max, 5}, min, Verdict::yes},   // -inf
		{{1, 0, max / 12 + 1, -3600}, max, Verdict::no},  // factor -2, huge even power
		// the grown balance at or beyond 2^63, or infinite
		{{max, 0, 1, 5}, max, Verdict::no},
		{{1, 0, 1, inf}, max, Verdict::no},
		{{1, 0, 1, 1e308}, max, Verdict::no},
		{{-1, 0, 1, inf}, min, Verdict::yes},
		// not a number: nothing owed times infinite growth, or a NaN rate
		{{0, 0, 1, inf}, min, Verdict::yes},
		{{1, 0, 1, nan}, min, Verdict::yes},
		{{1, 0, 0, nan}, 1, Verdict::no},  // pow(x, 0) is 1 even for NaN
	};
	for (const Case& c : cases)
		expect_case(c);
}

TEST(Evaluation, DifferenceIsRoundedOnceFromItsExactValue)
{
	// 2^63 - 1 - (-2^63) = 2^64 - 1, which rounds to 2^64.
	EXPECT_EQ(evaluate_steps({max, min, 0, 0}).difference, 18446744073709551616.0);
	EXPECT_EQ(evaluate_steps({min, max, 0, 0}).difference, -18446744073709551616.0);
	// 2^63 + 1025 is exactly halfway between doubles and ties to even, 2^63 + 2048.
	EXPECT_EQ(evaluate_steps({max, -1026, 0, 0}).difference, 9223372036854777856.0);
	EXPECT_EQ(evaluate_steps({max, -1024, 0, 0}).difference, 9223372036854775808.0);
}

// evaluate() skips pow where the verdict is certain; it must never differ.
TEST(Evaluation, ShortCutsAgreeWithTheFullEvaluation)
{
	std::mt19937_64 rng(3);
	const std::int64_t amounts[] = {0, 1, 2, 3, 100, 10000000, max, min, max - 1, min + 1};
	const std::int64_t terms[] = {0, 1, -1, 2, -2, 30, -30, 1000, max, min};
	const double rates[] = {0.0, -0.0, 1e-300, 3e-13, 5, 12, -12, -100, -1200, -1201, -2400,
	                        -3600, 1e6, inf, -inf, nan, 4.9e-324, -4.9e-324};
	for (int i = 0; i < 200000; ++i) {
		std::int64_t dlh = amounts[rng() % 10];
		if (dlh != max && dlh != min)
			dlh += static_cast<std::int64_t>(rng() % 3) - 1;
		const BalanceQuery q{dlh, amounts[rng() % 10], terms[rng() % 10],
		                     i % 2 ? rates[rng() % 18]
		                           : std::uniform_real_distribution<double>(-3000, 3000)(rng)};
		ASSERT_EQ(evaluate(q), evaluate_steps(q).verdict)
			<< q.dlh << ' ' << q.spl << ' ' << q.rok << ' ' << q.urok;
	}
}

TEST(Evaluation, Termination)
{
	EXPECT_TRUE(is_terminating({0, 0, 0, 0.0}));
	EXPECT_TRUE(is_terminating({0, 0, 0, -0.0}));
	EXPECT_FALSE(is_terminating({0, 0, 0, nan}));
	EXPECT_FALSE(is_terminating({0, 0, 0, 1}));
	EXPECT_FALSE(is_terminating({0, 0, 1, 0}));
	EXPECT_FALSE(is_terminating({0, 1, 0, 0}));
	EXPECT_FALSE(is_terminating({1, 0, 0, 0}));
	for (const BalanceQuery q : {BalanceQuery{0, 0, -1, 0}, BalanceQuery{0, -1, 0, 0},
	                             BalanceQuery{-1, 0, 0, 0}, BalanceQuery{0, 0, 0, -1e-300},
	                             BalanceQuery{min, 0, 0, 0}, BalanceQuery{0, 0, min, 0},
	                             // equal or opposite amounts, rates that round or cast to 0,
	                             // values whose low 32 bits are 0
	                             BalanceQuery{5, 5, 0, 0}, BalanceQuery{max, max, 0, 0},
	                             BalanceQuery{5, -5, 0, 0}, BalanceQuery{0, 0, 0, 0.5},
	                             BalanceQuery{0, 0, 0, 4.9e-324}, BalanceQuery{0, 0, 0, inf},
	                             BalanceQuery{0, 0, 1ll << 32, 0}, BalanceQuery{1ll << 32, 0, 0, 0},
	                             BalanceQuery{0, 1ll << 32, 0, 0}})
		EXPECT_FALSE(is_terminating(q)) << q.dlh << ' ' << q.spl << ' ' << q.rok << ' ' << q.urok;
}

}  // namespace
