// The evaluation on arbitrary values: no undefined behaviour (the sanitizers
// watch), and the properties that follow from its rules hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "balance.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
	BalanceQuery q{};
	if (size < sizeof q)
		return 0;
	std::memcpy(&q.dlh, data, 8);
	std::memcpy(&q.spl, data + 8, 8);
	std::memcpy(&q.rok, data + 16, 8);
	std::memcpy(&q.urok, data + 24, 8);

	const Evaluation e = evaluate_steps(q);
	const bool yes = e.verdict == Verdict::yes;
	if (evaluate(q) != e.verdict)
		std::abort();  // the short cuts must never change the answer
	if (q.dlh <= q.spl && !yes)
		std::abort();  // nothing owed
	if (q.rok == 0 && yes != (q.dlh <= q.spl))
		std::abort();  // no term: the difference alone decides
	if (q.urok == 0.0 && e.growth != 1.0)
		std::abort();  // no rate: no growth
	if (q.urok >= 0.0 && q.rok >= 0 && yes != (q.dlh <= q.spl))
		std::abort();  // growth of at least 1
	if (q.urok == -1200.0 && q.rok >= 1 && !yes)
		std::abort();  // a monthly factor of exactly 0
	return 0;
}
