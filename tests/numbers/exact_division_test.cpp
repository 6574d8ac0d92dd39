// The exact division against strtod, with either 128-bit type, on every
// target.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "numbers/exact_division.h"
#include "numbers/uint128.h"

namespace numbers {
namespace {

using u64 = std::uint64_t;

// m / 10^k with both 128-bit types, where they answer, is strtod's value.
TEST(Portable, ExactDivisionWithEitherWideType)
{
	std::mt19937_64 rng(9);
	int answered = 0;
	for (int i = 0; i < 100000; ++i) {
		const u64 m = (u64{1} << 53) + 1 + rng() % (~u64{0} - (u64{1} << 53));
		const int k = 1 + static_cast<int>(rng() % 22);
		double portable = 0, chosen = 0;
		const bool g = divide_exactly_with<numbers::uint128::TwoWords>(m, k, portable);
		ASSERT_EQ(g, divide_exactly(m, k, chosen)) << m << "e-" << k;
		if (!g)
			continue;
		++answered;
		const double reference = std::strtod((std::to_string(m) + "e-" + std::to_string(k)).c_str(), nullptr);
		ASSERT_EQ(std::memcmp(&portable, &reference, sizeof reference), 0) << m << "e-" << k;
		ASSERT_EQ(std::memcmp(&chosen, &reference, sizeof reference), 0) << m << "e-" << k;
	}
	EXPECT_GT(answered, 90000);
	// A hair either side of the midpoints around each power of two, 2^j -
	// 2^(j-54) and 2^j + 2^(j-53), times 10^k: the lower one is half as far.
	for (int k = 1; k <= 22; ++k)
		for (int j = -20; j <= 54; ++j)
			for (const u64 top : {(u64{1} << 54) - 1, (u64{1} << 54) + 2}) {
				const auto m = (numbers::uint128::TwoWords{top} * numbers::exact::pow10_wide<numbers::uint128::TwoWords>.p[k]) >> (54 - j);
				if ((m >> 64) != 0 || static_cast<u64>(m) < (u64{1} << 53) + 8)
					continue;
				for (u64 near = static_cast<u64>(m) - 2; near != static_cast<u64>(m) + 3; ++near) {
					const std::string text = std::to_string(near) + "e-" + std::to_string(k);
					const double reference = std::strtod(text.c_str(), nullptr);
					double portable = 0, chosen = 0;
					if (divide_exactly_with<numbers::uint128::TwoWords>(near, k, portable)) {
						ASSERT_EQ(std::memcmp(&portable, &reference, sizeof reference), 0) << text;
					}
					if (divide_exactly(near, k, chosen)) {
						ASSERT_EQ(std::memcmp(&chosen, &reference, sizeof reference), 0) << text;
					}
				}
			}
}

}  // namespace

}  // namespace numbers
