// Balance evaluation in binary64, in exactly the order of operations below.
// The build turns floating-point contraction off: a fused multiply-add in
// the monthly factor changes verdicts.
#include "balance.h"

#include <cfloat>
#include <cmath>
#include <limits>

static_assert(FLT_EVAL_METHOD == 0,
              "double arithmetic must not run at a wider precision");
static_assert(std::numeric_limits<double>::is_iec559,
              "double must be IEEE 754 binary64");

namespace {

using i64 = std::int64_t;
using u64 = std::uint64_t;

constexpr i64 i64_max = std::numeric_limits<i64>::max();
constexpr i64 i64_min = std::numeric_limits<i64>::min();
constexpr double two_pow_63 = 9223372036854775808.0;

// dlh - spl without wrapping: the exact difference, rounded once.
// When the subtraction would overflow, the exact value lies in [2^63, 2^64)
// or (-2^64, -2^63); its magnitude is the modulo-2^64 result read as
// unsigned, which converts to double with a single rounding.
double difference_of(i64 dlh, i64 spl)
{
	const bool fits = spl >= 0 ? dlh >= i64_min + spl : dlh <= i64_max + spl;
	if (fits)
		return static_cast<double>(dlh - spl);
	if (dlh > spl)
		return static_cast<double>(static_cast<u64>(dlh) - static_cast<u64>(spl));
	return -static_cast<double>(static_cast<u64>(spl) - static_cast<u64>(dlh));
}

// rok * 12, saturated: every exponent beyond 2^63 gives pow the same result,
// and both saturated values are even once converted to double.
i64 periods_of(i64 rok)
{
	if (rok > i64_max / 12)
		return i64_max;
	if (rok < i64_min / 12)
		return i64_min;
	return rok * 12;
}

// Truncation toward zero.  At or above 2^63 (or +inf) a balance remains, so
// it saturates high; below -2^63, -inf and NaN saturate low, as a plain
// conversion would give.
i64 truncate_balance(double grown)
{
	if (grown >= two_pow_63)
		return i64_max;
	if (grown >= -two_pow_63)
		return static_cast<i64>(grown);
	return i64_min;  // below -2^63, or NaN
}

Verdict verdict_of(i64 remaining)
{
	return static_cast<double>(remaining) < 1e-7 ? Verdict::yes : Verdict::no;
}

// The steps in their order, every value kept; inline, so that
// evaluate_verdict keeps only what the verdict needs.
inline Evaluation steps_of(const BalanceQuery& q)
{
	Evaluation e{};
	e.difference = difference_of(q.dlh, q.spl);
	e.periods = periods_of(q.rok);
	e.monthly_factor = 1.0 + (q.urok / 12.0) * 0.01;
	e.growth = std::pow(e.monthly_factor, static_cast<double>(e.periods));
	e.grown_balance = e.growth * e.difference;
	e.remaining_balance = truncate_balance(e.grown_balance);
	e.verdict = verdict_of(e.remaining_balance);
	return e;
}

}  // namespace

Evaluation evaluate_steps(const BalanceQuery& q)
{
	return steps_of(q);
}

Verdict evaluate_verdict(const BalanceQuery& q)
{
	return steps_of(q).verdict;
}
