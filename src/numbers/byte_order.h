// Loads and stores in a fixed byte order: little-endian, where the first
// byte of the text is the lowest byte of the word, and big-endian, where it
// is the highest, on any target.  One memcpy where target.h knows the byte
// order (with a byte swap where the orders differ), and everywhere the
// byte-by-byte twins in numbers::portable, which the tests hold against the
// choice.
#ifndef BALANCE_CHECK_BYTE_ORDER_H
#define BALANCE_CHECK_BYTE_ORDER_H

#include <cstdint>
#include <cstring>

#include "target.h"

namespace numbers {

namespace portable {

inline std::uint64_t load_le64(const char* p)
{
	std::uint64_t v = 0;
	for (int i = 7; i >= 0; --i)
		v = v << 8 | static_cast<unsigned char>(p[i]);
	return v;
}

inline std::uint64_t load_be64(const char* p)
{
	std::uint64_t v = 0;
	for (int i = 0; i < 8; ++i)
		v = v << 8 | static_cast<unsigned char>(p[i]);
	return v;
}

inline void store_le64(char* p, std::uint64_t v)
{
	for (int i = 0; i < 8; ++i)
		p[i] = static_cast<char>(static_cast<unsigned char>(v >> (8 * i)));
}

}  // namespace portable

#if defined(BALANCE_CHECK_LITTLE_ENDIAN) || defined(BALANCE_CHECK_BIG_ENDIAN)
inline std::uint64_t load_native64(const char* p)
{
	std::uint64_t v;
	std::memcpy(&v, p, sizeof v);
	return v;
}

inline void store_native64(char* p, std::uint64_t v)
{
	std::memcpy(p, &v, sizeof v);
}
#endif

#if defined(BALANCE_CHECK_LITTLE_ENDIAN)
inline std::uint64_t load_le64(const char* p) { return load_native64(p); }
inline std::uint64_t load_be64(const char* p) { return __builtin_bswap64(load_native64(p)); }
inline void store_le64(char* p, std::uint64_t v) { store_native64(p, v); }
#elif defined(BALANCE_CHECK_BIG_ENDIAN)
inline std::uint64_t load_le64(const char* p) { return __builtin_bswap64(load_native64(p)); }
inline std::uint64_t load_be64(const char* p) { return load_native64(p); }
inline void store_le64(char* p, std::uint64_t v) { store_native64(p, __builtin_bswap64(v)); }
#else
using portable::load_be64;
using portable::load_le64;
using portable::store_le64;
#endif

}  // namespace numbers

#endif
