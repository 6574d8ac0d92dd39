// Balance evaluation: one query in, one verdict out.
#ifndef BALANCE_CHECK_BALANCE_H
#define BALANCE_CHECK_BALANCE_H

#include <cstdint>

// The four values of one query, in input order.
struct BalanceQuery {
	std::int64_t dlh;  // amount owed
	std::int64_t spl;  // amount deducted from it
	std::int64_t rok;  // term in years
	double urok;       // annual rate in percent
};

enum class Verdict { no = 0, yes = 1 };

// Every intermediate value of one evaluation, in the order they arise.
struct Evaluation {
	double difference;             // dlh - spl, rounded once to a double
	std::int64_t periods;          // rok * 12, saturated
	double monthly_factor;
	double growth;
	double grown_balance;
	std::int64_t remaining_balance;  // grown balance truncated, saturated
	Verdict verdict;
};

// Full evaluation with all intermediates (for --explain and tests).
Evaluation evaluate_steps(const BalanceQuery& q);

// The same steps, the verdict alone kept.
Verdict evaluate_verdict(const BalanceQuery& q);

// Whether the amounts alone settle the verdict: nothing owed answers yes
// (the exponent is even, a multiple of 12 or a huge double, all of which
// are even, so the growth is >= 0 or NaN and the grown balance <= 0 or
// NaN); something owed with a rate >= 0 and a term >= 0 answers no (the
// monthly factor is >= 1.0, so the growth is exactly 1, a factor of 1.0 or
// no periods, or at least (1 + 2^-52)^12, many ulps above 1 for any pow
// worth its name; the grown balance is then >= the difference >= 1).
// Either way the verdict is `nothing_owed`.  Bitwise, since in everyday
// input it holds and the amounts are unpredictable.
constexpr bool amounts_settle(bool nothing_owed, bool term_and_rate_nonnegative)
{
	return nothing_owed | term_and_rate_nonnegative;
}

// Verdict only; the same answer as evaluate_steps, with the arithmetic
// skipped where the amounts settle it.  Inline, for the query loop.
inline Verdict evaluate(const BalanceQuery& q)
{
	const bool nothing_owed = q.dlh <= q.spl;
	if (amounts_settle(nothing_owed, q.rok >= 0 && q.urok >= 0.0))
		return static_cast<Verdict>(nothing_owed);  // Verdict::yes is 1
	return evaluate_verdict(q);
}

// The query 0 0 0 0 (any zero rate, -0 included, but not NaN) ends the run.
inline bool is_terminating(const BalanceQuery& q)
{
	return q.dlh == 0 && q.spl == 0 && q.rok == 0 && q.urok == 0.0;
}

#endif
