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

enum class Verdict { no, yes };

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

// Verdict only; the same answer as evaluate_steps, with the arithmetic
// skipped where its outcome is already certain (nothing owed; or a rate and
// a term of 0 or more, where the growth is at least 1).
Verdict evaluate(const BalanceQuery& q);

// The query 0 0 0 0 (any zero rate, -0 included, but not NaN) ends the run.
inline bool is_terminating(const BalanceQuery& q)
{
	return q.dlh == 0 && q.spl == 0 && q.rok == 0 && q.urok == 0.0;
}

#endif
