// Bit scans and little-endian loads.  GCC and Clang get their builtins;
// every other compiler gets the plain standard twins in bits::generic,
// which are compiled on every target so that the tests hold them against
// whatever was chosen.  BALANCE_CHECK_PORTABLE_ONLY chooses the twins here,
// in wide.h, plain_query.h and number_parse.cpp, as a compiler with none
// of these extensions would; CI tests that build too.
#ifndef BALANCE_CHECK_BITS_H
#define BALANCE_CHECK_BITS_H

#include <cstdint>
#include <cstring>

namespace bits {

using u64 = std::uint64_t;

namespace generic {

constexpr u64 debruijn = 0x03f79d71b4cb0a89u;

// Position of each bit by the top six bits of debruijn shifted by it.
struct DebruijnTable {
	unsigned char position[64];
	constexpr DebruijnTable() : position()
	{
		for (int i = 0; i < 64; ++i)
			position[(debruijn << i) >> 58] = static_cast<unsigned char>(i);
	}
};
inline constexpr DebruijnTable debruijn_table;

// The lowest set bit isolated and multiplied by a de Bruijn sequence: the
// top six bits are then unique to its position.  x != 0.
constexpr int countr_zero(u64 x)
{
	return debruijn_table.position[((x & (~x + 1)) * debruijn) >> 58];
}

// Halving search for the highest set bit.  x != 0.
constexpr int countl_zero(u64 x)
{
	int n = 0;
	for (int half = 32; half > 0; half /= 2) {
		if ((x >> (64 - half)) == 0) {
			n += half;
			x <<= half;
		}
	}
	return n;
}

// The eight bytes at p as a little-endian number, byte by byte.
inline u64 load_le64(const char* p)
{
	u64 v = 0;
	for (int i = 7; i >= 0; --i)
		v = v << 8 | static_cast<unsigned char>(p[i]);
	return v;
}

}  // namespace generic

#if (defined(__GNUC__) || defined(__clang__)) && !defined(BALANCE_CHECK_PORTABLE_ONLY)
inline int countr_zero(u64 x) { return __builtin_ctzll(x); }
inline int countl_zero(u64 x) { return __builtin_clzll(x); }
#else
using generic::countl_zero;
using generic::countr_zero;
#endif

#if defined(BALANCE_CHECK_PORTABLE_ONLY)
using generic::load_le64;
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
inline u64 load_le64(const char* p)
{
	u64 v;
	std::memcpy(&v, p, sizeof v);
	return v;
}
#elif defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
inline u64 load_le64(const char* p)
{
	u64 v;
	std::memcpy(&v, p, sizeof v);
	return __builtin_bswap64(v);
}
#else
using generic::load_le64;
#endif

}  // namespace bits

#endif
