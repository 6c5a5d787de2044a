#include <gtest/gtest.h>

#include <cstdarg>
#include <cstdio>
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
    struct Case {
        int64_t characters;
        int64_t lines;
    } cases[] = {{0, 0}, {-1, 0}, {1, 1}, {79, 1}, {80, 1}, {81, 2}, {160, 2}, {161, 3}};
    for (const Case& c : cases) EXPECT_EQ(linesOf(c.characters), c.lines) << c.characters;
}

TEST(LinesOf, EightyCharactersAndALineEndAreTwoLines) {
    std::string line(80, 'x');
    line += "\n";
    EXPECT_EQ(linesOf(static_cast<int64_t>(line.size())), 2);
}

TEST(EstimateLength, MatchesThePrintedLengthOfTheUsedConversions) {
    EXPECT_EQ(estimate("abc\n"), 4);
    EXPECT_EQ(estimate("%s＝%s\n", "C:\\a", "D:\\bb"), static_cast<int64_t>(std::strlen("C:\\a＝D:\\bb\n")));
    EXPECT_EQ(estimate("%d files\n", 12345), 12);
    EXPECT_EQ(estimate("%u", 0u), 1);
    EXPECT_EQ(estimate("[%c]", 'x'), 3);
    EXPECT_EQ(estimate("100%%"), 4);
    EXPECT_EQ(estimate("%s%%%d", "ab", 7), 4);
}

TEST(EstimateLength, CountsTabsAsEightColumnsAndNegativesAsUnsigned) {
    EXPECT_EQ(estimate("a\tb"), 10);
    EXPECT_EQ(estimate("%s", "x\ty"), 10);
    EXPECT_EQ(estimate("%d", -1), 10);  // 4294967295
}

TEST(EstimateLength, StopsAtAConversionItDoesNotKnow) {
    EXPECT_EQ(estimate("%s %5d %s", "abc", 1, "zz"), 9 + 3 - 2);
}

class PacerTest : public ::testing::Test {
protected:
    void SetUp() override { sim::resetMachine(); }
};

TEST_F(PacerTest, FirstWaitTakesItsMarkThenWaitsFiveHundredMilliseconds) {
    sim::machine().ticks = 1000;
    Pacer pacer;
    waitSince(pacer, 500);
    EXPECT_GT(sim::machine().ticks, 1500u);
    EXPECT_LT(sim::machine().ticks, 1510u);
    EXPECT_FALSE(pacer.stale);
    EXPECT_EQ(pacer.mark, sim::machine().ticks);
}

TEST_F(PacerTest, NoWaitWhenTheMarkIsOldEnough) {
    Pacer pacer;
    resetPacer(pacer);
    sim::machine().ticks += 2000;
    uint32_t before = sim::machine().ticks;
    waitSince(pacer, 500);
    EXPECT_LT(sim::machine().ticks - before, 5u);
}

TEST_F(PacerTest, DeadlinePastTheWrapIsWaitedForAcrossIt) {
    sim::machine().ticks = 0xFFFFFF00u;
    Pacer pacer;
    resetPacer(pacer);
    uint32_t mark = pacer.mark;
    waitSince(pacer, 500);
    uint32_t now = sim::machine().ticks;
    EXPECT_LT(now, 0x1000u);  // wrapped
    EXPECT_GT(static_cast<uint32_t>(now - mark), 500u);
    EXPECT_LT(static_cast<uint32_t>(now - mark), 510u);
}

TEST_F(PacerTest, PromptKeyIgnoresEarlyKeysAndOtherEvents) {
    auto& keys = sim::machine().keys;
    keys.push_back({os::KEY_EVENT, true, 'q', true});
    keys.push_back({os::MOUSE_EVENT, true, 'a', false});
    keys.push_back({os::FOCUS_EVENT, true, 'a', false});
    keys.push_back({os::KEY_EVENT, false, 'c', false});
    keys.push_back({os::KEY_EVENT, true, 'z', false});
    EXPECT_EQ(readPromptKey(), 'c');  // a key-up event counts as well
    EXPECT_EQ(readPromptKey(), 'z');
}

}  // namespace
