// The bit scans and byte-order loads and stores chosen for this target against
// their portable twins, on every target.
#include <cstdint>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "numbers/bit_scan.h"
#include "numbers/byte_order.h"

namespace numbers {
namespace {

using u64 = std::uint64_t;

TEST(Portable, BitScansAndLoads)
{
	std::mt19937_64 rng(7);
	for (int i = 0; i < 100000; ++i) {
		const u64 x = (rng() >> (rng() % 64)) | u64{1} << (rng() % 64);
		ASSERT_EQ(numbers::portable::countr_zero(x), numbers::countr_zero(x)) << x;
		ASSERT_EQ(numbers::portable::countl_zero(x), numbers::countl_zero(x)) << x;
		ASSERT_EQ(numbers::portable::popcount(x), numbers::popcount(x)) << x;
		const char text[8] = {static_cast<char>(x), static_cast<char>(x >> 8),
		                      static_cast<char>(x >> 16), static_cast<char>(x >> 24),
		                      static_cast<char>(x >> 32), static_cast<char>(x >> 40),
		                      static_cast<char>(x >> 48), static_cast<char>(x >> 56)};
		ASSERT_EQ(numbers::portable::load_le64(text), x);
		ASSERT_EQ(numbers::load_le64(text), x);
		const char reversed[8] = {text[7], text[6], text[5], text[4], text[3], text[2], text[1], text[0]};
		ASSERT_EQ(numbers::portable::load_be64(reversed), x);
		ASSERT_EQ(numbers::load_be64(reversed), x);
		char stored[8], stored_portably[8];
		numbers::store_le64(stored, x);
		numbers::portable::store_le64(stored_portably, x);
		ASSERT_EQ(std::memcmp(stored, text, 8), 0);
		ASSERT_EQ(std::memcmp(stored_portably, text, 8), 0);
	}
	for (int b = 0; b < 64; ++b) {
		EXPECT_EQ(numbers::portable::countr_zero(u64{1} << b), b);
		EXPECT_EQ(numbers::portable::countl_zero(u64{1} << b), 63 - b);
		EXPECT_EQ(numbers::portable::popcount((u64{1} << b) - 1), b);
	}
}

}  // namespace

}  // namespace numbers
