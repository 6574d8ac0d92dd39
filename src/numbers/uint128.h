// Unsigned 128-bit integers for the exact decimal division: the compiler's
// own type where target.h chooses it, and everywhere the plain two-word twin
// uint128::TwoWords with the same operators, so that one source serves both
// and the tests run both.
#ifndef BALANCE_CHECK_UINT128_H
#define BALANCE_CHECK_UINT128_H

#include <cstdint>

#include "target.h"

namespace numbers {
namespace uint128 {

using u64 = std::uint64_t;

// Arithmetic modulo 2^128 on two 64-bit words, as unsigned __int128 does.
struct TwoWords {
	u64 hi = 0, lo = 0;

	constexpr TwoWords() = default;
	// Converts implicitly, as the builtin type does.
	// cppcheck-suppress noExplicitConstructor
	constexpr TwoWords(u64 v) : lo(v) {}  // NOLINT(google-explicit-constructor)
	constexpr TwoWords(u64 high, u64 low) : hi(high), lo(low) {}
	constexpr explicit operator u64() const { return lo; }

	// The full product of two 64-bit numbers, from 32-bit halves.
	static constexpr TwoWords product(u64 a, u64 b)
	{
		const u64 a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
		const u64 low = a0 * b0, mid1 = a1 * b0, mid2 = a0 * b1, high = a1 * b1;
		const u64 middle = (low >> 32) + (mid1 & 0xffffffffu) + (mid2 & 0xffffffffu);
		return {high + (mid1 >> 32) + (mid2 >> 32) + (middle >> 32),
		        (middle << 32) | (low & 0xffffffffu)};
	}

	friend constexpr TwoWords operator*(TwoWords a, TwoWords b)
	{
		TwoWords p = product(a.lo, b.lo);
		p.hi += a.hi * b.lo + a.lo * b.hi;
		return p;
	}
	friend constexpr TwoWords operator+(TwoWords a, TwoWords b)
	{
		const u64 low = a.lo + b.lo;
		return {a.hi + b.hi + (low < a.lo ? 1 : 0), low};
	}
	friend constexpr TwoWords operator-(TwoWords a, TwoWords b)
	{
		return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
	}
	friend constexpr TwoWords operator<<(TwoWords a, int n)  // 0 <= n < 128
	{
		if (n == 0)
			return a;
		if (n >= 64)
			return {a.lo << (n - 64), 0};
		return {a.hi << n | a.lo >> (64 - n), a.lo << n};
	}
	friend constexpr TwoWords operator>>(TwoWords a, int n)  // 0 <= n < 128
	{
		if (n == 0)
			return a;
		if (n >= 64)
			return {0, a.hi >> (n - 64)};
		return {a.hi >> n, a.lo >> n | a.hi << (64 - n)};
	}
	friend constexpr TwoWords operator&(TwoWords a, TwoWords b) { return {a.hi & b.hi, a.lo & b.lo}; }
	friend constexpr bool operator==(TwoWords a, TwoWords b) { return a.hi == b.hi && a.lo == b.lo; }
	friend constexpr bool operator!=(TwoWords a, TwoWords b) { return !(a == b); }
	friend constexpr bool operator<(TwoWords a, TwoWords b)
	{
		return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
	}
	friend constexpr bool operator>(TwoWords a, TwoWords b) { return b < a; }
	friend constexpr bool operator<=(TwoWords a, TwoWords b) { return !(b < a); }
	friend constexpr bool operator>=(TwoWords a, TwoWords b) { return !(a < b); }

	constexpr TwoWords& operator*=(TwoWords b) { return *this = *this * b; }
	constexpr TwoWords& operator-=(TwoWords b) { return *this = *this - b; }
	constexpr TwoWords& operator<<=(int n) { return *this = *this << n; }
};

#if defined(BALANCE_CHECK_HAVE_INT128)
__extension__ typedef unsigned __int128 Builtin;
#endif
#if defined(BALANCE_CHECK_USE_INT128)
using Chosen = Builtin;
#else
using Chosen = TwoWords;
#endif

}  // namespace uint128

}  // namespace numbers

#endif
