// A typical hand-rolled fast reader as written for programming contests:
// getchar_unlocked and digit loops.  Not exact (the fraction is summed in
// doubles); it is here only as a speed reference.
#include <cstdio>

#include "balance.h"

namespace {

// Skips to the first byte of the next number (a sign or a digit, or a point
// where the number may start with one); EOF at the end of input.
int skip_to_number(bool point_starts)
{
	int c = getchar_unlocked();
	while (c != EOF && c != '-' && !(point_starts && c == '.') && (c < '0' || c > '9'))
		c = getchar_unlocked();
	return c;
}

bool read_int(long long& v)
{
	int c = skip_to_number(false);
	if (c == EOF)
		return false;
	const bool negative = c == '-';
	if (negative)
		c = getchar_unlocked();
	long long x = 0;
	for (; c >= '0' && c <= '9'; c = getchar_unlocked())
		x = x * 10 + (c - '0');
	v = negative ? -x : x;
	return true;
}

bool read_double(double& v)
{
	int c = skip_to_number(true);
	if (c == EOF)
		return false;
	const bool negative = c == '-';
	if (negative)
		c = getchar_unlocked();
	double x = 0;
	for (; c >= '0' && c <= '9'; c = getchar_unlocked())
		x = x * 10 + (c - '0');
	if (c == '.') {
		double scale = 0.1;
		for (c = getchar_unlocked(); c >= '0' && c <= '9'; c = getchar_unlocked()) {
			x += (c - '0') * scale;
			scale *= 0.1;
		}
	}
	v = negative ? -x : x;
	return true;
}

}  // namespace

int main()
{
	BalanceQuery q{};
	long long dlh, spl, rok;
	while (read_int(dlh) && read_int(spl) && read_int(rok) && read_double(q.urok)) {
		q.dlh = dlh;
		q.spl = spl;
		q.rok = rok;
		if (is_terminating(q))
			break;
		std::puts(evaluate(q) == Verdict::yes ? "yes" : "no");
	}
	return 0;
}
