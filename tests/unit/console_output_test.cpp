#include <gtest/gtest.h>

#include <cstdarg>
#include <cstring>
#include <string>

#include "output/console_output.h"
#ifndef _WIN32
#include "platform/sim/machine.h"
#endif

namespace {

int64_t estimate(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    int64_t result = estimateLength(format, arguments);
    va_end(arguments);
    return result;
}

// The estimate decides whether a message still fits the page.
TEST(EstimateLength, MatchesThePrintedLengthOfTheUsedConversions) {
    EXPECT_EQ(estimate("%s＝%s\n", "C:\\a", "D:\\bb"), static_cast<int64_t>(std::strlen("C:\\a＝D:\\bb\n")));
    // Tabs count eight columns, negatives print as unsigned, an unknown conversion ends it.
    EXPECT_EQ(estimate("%s", "x\ty"), 10);
    EXPECT_EQ(estimate("%d", -1), 10);
    EXPECT_EQ(estimate("%s %5d %s", "abc", 1, "zz"), 10);
}

#ifndef _WIN32  // the simulated machine: host builds only
// The first wait takes its mark, then waits; the deadline may lie past the wrap.
TEST(Pacer, FirstWaitTakesItsMarkThenWaitsFiveHundredMilliseconds) {
    sim::resetMachine();
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
#endif

}  // namespace
