// The plainest program: scanf in, fputs out, the same evaluation.
#include <cstdio>

#include "balance.h"

int main()
{
	long long dlh, spl, rok;
	double urok;
	while (std::scanf("%lld%lld%lld%lf", &dlh, &spl, &rok, &urok) == 4) {
		const BalanceQuery q{dlh, spl, rok, urok};
		if (is_terminating(q))
			break;
		std::fputs(evaluate(q) == Verdict::yes ? "yes\n" : "no\n", stdout);
	}
	return 0;
}
