// The two-word 128-bit type against the compiler's own, where it has one.
#include <cstdint>
#include <random>

#include <gtest/gtest.h>

#include "numbers/uint128.h"
#include "target.h"

namespace numbers {
namespace {

using u64 = std::uint64_t;

#if defined(BALANCE_CHECK_HAVE_INT128)
// Every operator of the two-word type against the builtin one.
TEST(Portable, TwoWordIntegersMatchTheBuiltin)
{
	using N = numbers::uint128::Builtin;
	using G = numbers::uint128::TwoWords;
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
		ASSERT_EQ(ga <= gb, na <= nb);
	}
}
#endif

}  // namespace

}  // namespace numbers
