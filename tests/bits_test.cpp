// The portable twins (bits::generic, wide::Generic, the SWAR window kernel)
// against whatever the build chose for this target, and the 128-bit
// division against strtod, on every target.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "bits.h"
#include "exact_division.h"
#include "wide.h"

namespace {

using u64 = std::uint64_t;

TEST(Portable, BitScansAndLoads)
{
	std::mt19937_64 rng(7);
	for (int i = 0; i < 100000; ++i) {
		const u64 x = (rng() >> (rng() % 64)) | u64{1} << (rng() % 64);
		ASSERT_EQ(bits::generic::countr_zero(x), bits::countr_zero(x)) << x;
		ASSERT_EQ(bits::generic::countl_zero(x), bits::countl_zero(x)) << x;
		const char text[8] = {static_cast<char>(x), static_cast<char>(x >> 8),
		                      static_cast<char>(x >> 16), static_cast<char>(x >> 24),
		                      static_cast<char>(x >> 32), static_cast<char>(x >> 40),
		                      static_cast<char>(x >> 48), static_cast<char>(x >> 56)};
		ASSERT_EQ(bits::generic::load_le64(text), x);
		ASSERT_EQ(bits::load_le64(text), x);
	}
	for (int b = 0; b < 64; ++b) {
		EXPECT_EQ(bits::generic::countr_zero(u64{1} << b), b);
		EXPECT_EQ(bits::generic::countl_zero(u64{1} << b), 63 - b);
	}
}

#if defined(__SIZEOF_INT128__)
// Every operator of the two-word type against the builtin one.
TEST(Portable, TwoWordIntegersMatchTheBuiltin)
{
	using N = wide::Native;
	using G = wide::Generic;
	auto same = [](G g, N n) { return g.lo == static_cast<u64>(n) && g.hi == static_cast<u64>(n >> 64); };
	std::mt19937_64 rng(8);
	for (int i = 0; i < 100000; ++i) {
		const u64 a = rng() >> (rng() % 64), b = rng() >> (rng() % 64), c = rng(), d = rng();
		const G ga{a, c}, gb{b, d};
		const N na = N{a} << 64 | c, nb = N{b} << 64 | d;
		const int s = static_cast<int>(rng() % 128);
		ASSERT_TRUE(same(G::product(c, d), N{c} * d));
		ASSERT_TRUE(same(ga * gb, na * nb));
		ASSERT_TRUE(same(ga + gb, na + nb));
		ASSERT_TRUE(same(ga - gb, na - nb));
		ASSERT_TRUE(same(ga << s, na << s));
		ASSERT_TRUE(same(ga >> s, na >> s));
		ASSERT_TRUE(same(ga & gb, na & nb));
		ASSERT_EQ(ga < gb, na < nb);
		ASSERT_EQ(ga > gb, na > nb);
		ASSERT_EQ(ga == gb, na == nb);
		ASSERT_EQ(ga <= ga, true);
	}
}
#endif

// m / 10^k with both 128-bit types, where they answer, is strtod's value.
TEST(Portable, ExactDivisionWithEitherWideType)
{
	std::mt19937_64 rng(9);
	int answered = 0;
	for (int i = 0; i < 100000; ++i) {
		const u64 m = (u64{1} << 53) + 1 + rng() % (~u64{0} - (u64{1} << 53));
		const int k = 1 + static_cast<int>(rng() % 22);
		double generic = 0, chosen = 0;
		const bool g = divide_exactly_with<wide::Generic>(m, k, generic);
		ASSERT_EQ(g, divide_exactly(m, k, chosen)) << m << "e-" << k;
		if (!g)
			continue;
		++answered;
		const double reference = std::strtod((std::to_string(m) + "e-" + std::to_string(k)).c_str(), nullptr);
		ASSERT_EQ(std::memcmp(&generic, &reference, sizeof reference), 0) << m << "e-" << k;
		ASSERT_EQ(std::memcmp(&chosen, &reference, sizeof reference), 0) << m << "e-" << k;
	}
	EXPECT_GT(answered, 90000);
}

}  // namespace
