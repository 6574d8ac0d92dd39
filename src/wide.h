// Unsigned 128-bit integers for the exact decimal division: the compiler's
// own type where it has one, and everywhere the plain two-word twin
// wide::Generic with the same operators, so that one source serves both
// and the tests run both.
#ifndef BALANCE_CHECK_WIDE_H
#define BALANCE_CHECK_WIDE_H

#include <cstdint>

namespace wide {

using u64 = std::uint64_t;

// Arithmetic modulo 2^128 on two 64-bit words, as unsigned __int128 does.
struct Generic {
	u64 hi = 0, lo = 0;

	constexpr Generic() = default;
	// Converts implicitly, as the builtin type does.
	// cppcheck-suppress noExplicitConstructor
	constexpr Generic(u64 v) : lo(v) {}  // NOLINT(google-explicit-constructor)
	constexpr Generic(u64 high, u64 low) : hi(high), lo(low) {}
	constexpr explicit operator u64() const { return lo; }

	// The full product of two 64-bit numbers, from 32-bit halves.
	static constexpr Generic product(u64 a, u64 b)
	{
		const u64 a0 = a & 0xffffffffu, a1 = a >> 32, b0 = b & 0xffffffffu, b1 = b >> 32;
		const u64 low = a0 * b0, mid1 = a1 * b0, mid2 = a0 * b1, high = a1 * b1;
		const u64 middle = (low >> 32) + (mid1 & 0xffffffffu) + (mid2 & 0xffffffffu);
		return {high + (mid1 >> 32) + (mid2 >> 32) + (middle >> 32),
		        (middle << 32) | (low & 0xffffffffu)};
	}

	friend constexpr Generic operator*(Generic a, Generic b)
	{
		Generic p = product(a.lo, b.lo);
		p.hi += a.hi * b.lo + a.lo * b.hi;
		return p;
	}
	friend constexpr Generic operator+(Generic a, Generic b)
	{
		const u64 low = a.lo + b.lo;
		return {a.hi + b.hi + (low < a.lo ? 1 : 0), low};
	}
	friend constexpr Generic operator-(Generic a, Generic b)
	{
		return {a.hi - b.hi - (a.lo < b.lo ? 1 : 0), a.lo - b.lo};
	}
	friend constexpr Generic operator<<(Generic a, int n)  // 0 <= n < 128
	{
		if (n == 0)
			return a;
		if (n >= 64)
			return {a.lo << (n - 64), 0};
		return {a.hi << n | a.lo >> (64 - n), a.lo << n};
	}
	friend constexpr Generic operator>>(Generic a, int n)  // 0 <= n < 128
	{
		if (n == 0)
			return a;
		if (n >= 64)
			return {0, a.hi >> (n - 64)};
		return {a.hi >> n, a.lo >> n | a.hi << (64 - n)};
	}
	friend constexpr Generic operator&(Generic a, Generic b) { return {a.hi & b.hi, a.lo & b.lo}; }
	friend constexpr bool operator==(Generic a, Generic b) { return a.hi == b.hi && a.lo == b.lo; }
	friend constexpr bool operator!=(Generic a, Generic b) { return !(a == b); }
	friend constexpr bool operator<(Generic a, Generic b)
	{
		return a.hi != b.hi ? a.hi < b.hi : a.lo < b.lo;
	}
	friend constexpr bool operator>(Generic a, Generic b) { return b < a; }
	friend constexpr bool operator<=(Generic a, Generic b) { return !(b < a); }
	friend constexpr bool operator>=(Generic a, Generic b) { return !(a < b); }

	constexpr Generic& operator*=(Generic b) { return *this = *this * b; }
	constexpr Generic& operator-=(Generic b) { return *this = *this - b; }
	constexpr Generic& operator<<=(int n) { return *this = *this << n; }
};

#if defined(__SIZEOF_INT128__)
__extension__ typedef unsigned __int128 Native;
#endif
#if defined(__SIZEOF_INT128__) && !defined(BALANCE_CHECK_PORTABLE_ONLY)
using u128 = Native;
#else
using u128 = Generic;
#endif

}  // namespace wide

#endif
