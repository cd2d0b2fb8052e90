#include <gtest/gtest.h>

#include "scene/random.h"

namespace {
int valueOfState(std::uint32_t state) { return int((state >> 16) & 0x7FFF); }
}  // namespace

TEST(Random, FirstValuesFromTheStartValue) {
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int k = 0; k < 10; ++k) {
        EXPECT_EQ(valueOfState(lcgJump(1u, std::uint64_t(k) + 1)), expected[k]) << "draw " << k + 1;
    }
}

TEST(Random, SkipMatchesSingleDraws) {
    const std::uint32_t seed = randomSeed;
    for (int i = 0; i < 1234; ++i) lcgNext();
    EXPECT_EQ(randomSeed, lcgJump(seed, 1234));
    randomSkip(5'000'000'000ull);
    EXPECT_EQ(randomSeed, lcgJump(seed, 1234 + 5'000'000'000ull));
    // The sequence repeats with period 2^32.
    EXPECT_EQ(lcgJump(seed, 1ull << 32), seed);
    EXPECT_EQ(lcgJump(seed, 0), seed);
}

TEST(Random, RangeEdges) {
    EXPECT_EQ(rangeFromDraw(-30.0f, 30.0f, 32767), 30.0f);
    EXPECT_EQ(rangeFromDraw(-30.0f, 30.0f, 0), -30.0f);
    EXPECT_NEAR(rangeFromDraw(-30.0f, 30.0f, 41), -29.92493, 1e-4);
}
