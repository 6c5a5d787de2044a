#include "options/option_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "run/settings.h"
#ifndef _WIN32  // the simulated machine: host builds only
#include "support/child_run.h"
#endif

namespace {

Settings& s = settings;

void resetSettings() {
    os::release(settings.logPath);
    settings = Settings{};
}

class OptionParser : public ::testing::Test {
protected:
    void SetUp() override { resetSettings(); }
    void TearDown() override { resetSettings(); }
};

// Words that share a prefix, numbers, "off" forms and groups. Each field is first set to a
// sentinel so that "off" really writes.
TEST_F(OptionParser, WordsSetTheirFields) {
    const struct {
        const char* argument;
        std::vector<std::pair<int32_t*, int32_t>> expected;
    } rows[] = {
        {"/acalta", {{&s.accessAlt, 2}}}, {"/aa", {{&s.compareAttributes, 2}}},
        {"/a", {{&s.compareAttributes, 0}}}, {"/b4g", {{&s.blockSize, 1048576}}},
        {"/time5x", {{&s.timeThreshold, 5}}}, {"/t-", {{&s.compareTime, 1}}},
        {"/sameta", {{&s.differentTimeOnly, 0}, {&s.sameTimeOnly, 2}}},
        {"/D-/C", {{&s.subDirectory, 0}, {&s.continueOnMismatch, 1}}},
        {"-d/c", {{&s.subDirectory, 1}, {&s.continueOnMismatch, 1}}},  // splits only at slashes
    };
    for (const auto& row : rows) {
        resetSettings();
        for (const auto& [field, value] : row.expected) *field = 77;
        applyOptionGroup(row.argument, false);
        for (const auto& [field, value] : row.expected)
            EXPECT_EQ(*field, value) << row.argument << " field at offset "
                                     << reinterpret_cast<char*>(field) - reinterpret_cast<char*>(&s);
    }
}

TEST_F(OptionParser, DisplayFlagAlgebra) {
    const std::pair<const char*, std::string> rows[] = {  // members b c n e k s d f
        {"/v", "11110111"},      {"/v=", "00000000"},      {"/v+ab-k", "11110111"},
        {"/V=NEKF", "00111001"}, {"/v=e/vs", "00010000"},  {"/v+", "11111111"},  // a sign alone: no change
    };
    for (const auto& [argument, flags] : rows) {
        settings = Settings{};
        settings.verbose.skip = 1;
        applyOptionGroup(argument, false);
        const VerboseFlags& v = settings.verbose;
        std::string got;
        for (int32_t flag : {v.beginning, v.complete, v.notExist, v.error, v.skip, v.source, v.destination, v.finish})
            got += static_cast<char>('0' + flag);
        EXPECT_EQ(got, flags) << argument;
    }
}

TEST_F(OptionParser, LogFileNameRunsToTheEndAndReplacesTheLastOne) {
    applyOptionGroup("/logx/d", false);
    EXPECT_STREQ(settings.logPath, "x/d");  // the name runs to the end, yet /d applies too
    EXPECT_EQ(settings.subDirectory, 1);
    EXPECT_EQ(settings.logMode, 1);
    applyOptionGroup("/LOGC:\\b.log", false);
    EXPECT_STREQ(settings.logPath, "C:\\b.log");
    applyOptionGroup("/log", false);
    EXPECT_EQ(settings.logMode, 0);
    EXPECT_STREQ(settings.logPath, "C:\\b.log");
}

// Unsigned 32-bit arithmetic: 4g wraps to 0, 5g to 1g; fractions are truncated.
TEST(BlockSize, ThirtyTwoBitArithmetic) {
    const std::pair<const char*, uint32_t> rows[] = {
        {"1.4g", 1503238552u}, {"0.123g", 107374182u}, {"4g", 0u}, {"5g", 1073741824u},
        {"1.05k", 1075u},      {"1.9999999999999k", 2047u}, {"1.5", 1u}, {"1x", 1u}, {"", 0u},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(parseBlockSize(text), expected) << text;
}

#ifndef _WIN32  // the simulated machine: host builds only
TEST(InvalidOptions, ShortAndGroupMessages) {
    const struct {
        const char* argument;
        bool fromConfigFile;
        const char* shown;  // the invalid part of a group; nullptr: the short message
    } rows[] = {
        {"/time/d", false, nullptr}, {"/b3g", false, nullptr}, {"/d /c", true, nullptr},
        {"/c/v=sq/d", false, "sq/d"}, {"/d/vq", true, "vq"},
    };
    for (const auto& row : rows) {
        support::RunOutput ended = support::runInChild([&] { applyOptionGroup(row.argument, row.fromConfigFile); });
        const std::string prefix = row.fromConfigFile ? "設定ファイル" : "";
        const std::string message =
            row.shown == nullptr
                ? "\n\a処理停止:" + prefix + "無効オプション  " + row.argument + "\n"
                : "\n\a処理停止:" + prefix + "無効オプション  " + row.shown + "\n※オプション群 " +
                      row.argument + " の一部が無効です。\n";
        EXPECT_EQ(ended.exitCode, 1) << row.argument;
        EXPECT_EQ(ended.err, message + "※引数なしで実行すると使用方法を表示します。\n\n") << row.argument;
    }
}
#endif

}  // namespace
