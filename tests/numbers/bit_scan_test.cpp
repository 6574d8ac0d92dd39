// The bit scans and little-endian loads chosen for this target against
// their portable twins, on every target.
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "numbers/bit_scan.h"
#include "numbers/byte_order.h"

namespace {

using u64 = std::uint64_t;

TEST(Portable, BitScansAndLoads)
{
	std::mt19937_64 rng(7);
	for (int i = 0; i < 100000; ++i) {
		const u64 x = (rng() >> (rng() % 64)) | u64{1} << (rng() % 64);
		ASSERT_EQ(bits::portable::countr_zero(x), bits::countr_zero(x)) << x;
		ASSERT_EQ(bits::portable::countl_zero(x), bits::countl_zero(x)) << x;
		const char text[8] = {static_cast<char>(x), static_cast<char>(x >> 8),
		                      static_cast<char>(x >> 16), static_cast<char>(x >> 24),
		                      static_cast<char>(x >> 32), static_cast<char>(x >> 40),
		                      static_cast<char>(x >> 48), static_cast<char>(x >> 56)};
		ASSERT_EQ(bits::portable::load_le64(text), x);
		ASSERT_EQ(bits::load_le64(text), x);
	}
	for (int b = 0; b < 64; ++b) {
		EXPECT_EQ(bits::portable::countr_zero(u64{1} << b), b);
		EXPECT_EQ(bits::portable::countl_zero(u64{1} << b), 63 - b);
	}
}

}  // namespace
