// Doubles are written in the shortest form that reads back to the same
// value, so the line can be checked by hand or fed back in.
#include "explain.h"

#include <charconv>
#include <cstring>

namespace {

struct Line {
	char* p;
	char* end;
};

void put(Line& l, const char* s)
{
	const std::size_t n = std::strlen(s);
	std::memcpy(l.p, s, n);
	l.p += n;
}

template <typename T>
void put(Line& l, T v)
{
	l.p = std::to_chars(l.p, l.end, v).ptr;
}

// The difference is a whole number, possibly beyond 64 bits: all its digits.
void put_whole(Line& l, double v)
{
	l.p = std::to_chars(l.p, l.end, v, std::chars_format::fixed).ptr;
}

}  // namespace

std::size_t format_explanation(const BalanceQuery& q, const Evaluation& e, char* out)
{
	Line l{out, out + max_explanation_length};
	put(l, q.dlh);
	put(l, " ");
	put(l, q.spl);
	put(l, " ");
	put(l, q.rok);
	put(l, " ");
	put(l, q.urok);
	put(l, ": difference ");
	put_whole(l, e.difference);
	put(l, ", periods ");
	put(l, e.periods);
	put(l, ", monthly factor ");
	put(l, e.monthly_factor);
	put(l, ", growth ");
	put(l, e.growth);
	put(l, ", grown balance ");
	put(l, e.grown_balance);
	put(l, ", remaining balance ");
	put(l, e.remaining_balance);
	put(l, e.verdict == Verdict::yes ? ", yes\n" : ", no\n");
	return static_cast<std::size_t>(l.p - out);
}
