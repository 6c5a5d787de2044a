#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "output/console_output.h"
#include "platform/sim/machine.h"

namespace {

int64_t estimate(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int64_t result = estimateLength(format, arguments);
    va_end(arguments);
    return result;
}

TEST(LinesOf, CountsUnitsOfEightyCharacters) {
    const int64_t cases[][2] = {{0, 0}, {-1, 0}, {1, 1}, {80, 1}, {81, 2}, {160, 2}, {161, 3}};
    for (const auto& c : cases) EXPECT_EQ(linesOf(c[0]), c[1]) << c[0];
}

TEST(EstimateLength, MatchesThePrintedLengthOfTheUsedConversions) {
    EXPECT_EQ(estimate("%s＝%s\n", "C:\\a", "D:\\bb"), static_cast<int64_t>(std::strlen("C:\\a＝D:\\bb\n")));
    EXPECT_EQ(estimate("%d files\n", 12345), 12);
    EXPECT_EQ(estimate("%u", 0u), 1);
    EXPECT_EQ(estimate("[%c]", 'x'), 3);
    EXPECT_EQ(estimate("%s%%%d", "ab", 7), 4);
    // Tabs count eight columns, negatives print as unsigned, an unknown conversion ends it.
    EXPECT_EQ(estimate("a\tb"), 10);
    EXPECT_EQ(estimate("%s", "x\ty"), 10);
    EXPECT_EQ(estimate("%d", -1), 10);
    EXPECT_EQ(estimate("%s %5d %s", "abc", 1, "zz"), 10);
}

class PacerTest : public ::testing::Test {
protected:
    void SetUp() override { sim::resetMachine(); }
};

// The first wait takes its mark, then waits; the deadline may lie past the wrap.
TEST_F(PacerTest, FirstWaitTakesItsMarkThenWaitsFiveHundredMilliseconds) {
    for (uint32_t start : {1000u, 0xFFFFFF00u}) {
        sim::machine().ticks = start;
        Pacer pacer;
        waitSince(pacer, 500);
        uint32_t waited = sim::machine().ticks - start;
        EXPECT_GT(waited, 500u) << start;
        EXPECT_LT(waited, 510u) << start;
        EXPECT_FALSE(pacer.stale);
        EXPECT_EQ(pacer.mark, sim::machine().ticks);
    }
}

TEST_F(PacerTest, NoWaitWhenTheMarkIsOldEnough) {
    Pacer pacer;
    resetPacer(pacer);
    sim::machine().ticks += 2000;
    uint32_t before = sim::machine().ticks;
    waitSince(pacer, 500);
    EXPECT_LT(sim::machine().ticks - before, 5u);
}

TEST_F(PacerTest, PromptKeyIgnoresEarlyKeysAndOtherEvents) {
    sim::machine().keys = {{os::KEY_EVENT, true, 'q', true},
                           {os::MOUSE_EVENT, true, 'a', false},
                           {os::FOCUS_EVENT, true, 'a', false},
                           {os::KEY_EVENT, false, 'c', false},
                           {os::KEY_EVENT, true, 'z', false}};
    EXPECT_EQ(readPromptKey(), 'c');  // a key-up event counts as well
    EXPECT_EQ(readPromptKey(), 'z');
}

}  // namespace
