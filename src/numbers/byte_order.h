// Little-endian loads: the first byte of the text is the lowest byte of the
// word on any target.  One memcpy where target.h knows the byte order (with
// a byte swap on big-endian targets), and everywhere the byte-by-byte twin
// in bits::portable, which the tests hold against the choice.
#ifndef BALANCE_CHECK_BYTE_ORDER_H
#define BALANCE_CHECK_BYTE_ORDER_H

#include <cstdint>
#include <cstring>

#include "target.h"

namespace bits {

namespace portable {

inline std::uint64_t load_le64(const char* p)
{
	std::uint64_t v = 0;
	for (int i = 7; i >= 0; --i)
		v = v << 8 | static_cast<unsigned char>(p[i]);
	return v;
}

}  // namespace portable

#if defined(BALANCE_CHECK_LITTLE_ENDIAN)
inline std::uint64_t load_le64(const char* p)
{
	std::uint64_t v;
	std::memcpy(&v, p, sizeof v);
	return v;
}
#elif defined(BALANCE_CHECK_BIG_ENDIAN)
inline std::uint64_t load_le64(const char* p)
{
	std::uint64_t v;
	std::memcpy(&v, p, sizeof v);
	return __builtin_bswap64(v);
}
#else
using portable::load_le64;
#endif

}  // namespace bits

#endif
