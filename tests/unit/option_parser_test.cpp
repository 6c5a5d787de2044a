#include "options/option_parser.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "run/settings.h"
#include "support/child_run.h"

namespace {

const int32_t SENTINEL = 77;

struct WordRow {
    const char* argument;
    std::vector<std::pair<int32_t*, int32_t>> expected;
};

Settings& s = settings;

// Every fixed word and number form of the table with the fields it sets. Each field is
// first set to a sentinel so that "off" really writes.
const std::vector<WordRow>& wordRows() {
    static const std::vector<WordRow> rows = {
        {"/acalta", {{&s.accessAlt, 2}}}, {"/acalt-", {{&s.accessAlt, 0}}}, {"/acalt", {{&s.accessAlt, 1}}},
        {"/a-", {{&s.compareAttributes, 1}}}, {"/aauto", {{&s.compareAttributes, 3}}},
        {"/aa", {{&s.compareAttributes, 2}}}, {"/a", {{&s.compareAttributes, 0}}},
        {"/beep", {{&s.beepThreshold, 0}}}, {"/beep30", {{&s.beepThreshold, 30}}},
        {"/beep-5", {{&s.beepThreshold, -5}}}, {"/bs", {{&s.blockSize, -1}}}, {"/BC", {{&s.blockSize, -2}}},
        {"/b", {{&s.blockSize, 1048576}}}, {"/b0", {{&s.blockSize, 1048576}}},
        {"/b1m", {{&s.blockSize, 1048576}}}, {"/b64k", {{&s.blockSize, 65536}}},
        {"/b4g", {{&s.blockSize, 1048576}}}, {"/contents-", {{&s.compareContents, 1}}},
        {"/contents", {{&s.compareContents, 0}}}, {"/case-", {{&s.foldCase, 1}}},
        {"/case", {{&s.foldCase, 0}}}, {"/cachea", {{&s.cacheMode, 2}}}, {"/cache-", {{&s.cacheMode, 1}}},
        {"/cache", {{&s.cacheMode, 0}}}, {"/c-", {{&s.continueOnMismatch, 0}}},
        {"/c", {{&s.continueOnMismatch, 1}}}, {"/difft-", {{&s.differentTimeOnly, 0}}},
        {"/difft", {{&s.sameTimeOnly, 0}, {&s.differentTimeOnly, 1}}}, {"/dirs-", {{&s.compareDirSize, 0}}},
        {"/dirs", {{&s.compareDirSize, 1}}}, {"/d-", {{&s.subDirectory, 0}}}, {"/d", {{&s.subDirectory, 1}}},
        {"/fa", {{&s.entryKind.files, 1}, {&s.entryKind.dirs, 1}}},
        {"/f-", {{&s.entryKind.files, 1}, {&s.entryKind.dirs, 1}}},
        {"/ff", {{&s.entryKind.files, 1}, {&s.entryKind.dirs, 0}}},
        {"/f", {{&s.entryKind.files, 1}, {&s.entryKind.dirs, 0}}},
        {"/fd", {{&s.entryKind.files, 0}, {&s.entryKind.dirs, 1}}}, {"/log", {{&s.logMode, 0}}},
        {"/LOG", {{&s.logMode, 0}}}, {"/logrun.txt", {{&s.logMode, 1}}}, {"/LOGrun.txt", {{&s.logMode, 2}}},
        {"/namealt-", {{&s.compareAltName, 0}}}, {"/namealt", {{&s.compareAltName, 1}}},
        {"/name-", {{&s.compareNameCase, 1}}}, {"/name", {{&s.compareNameCase, 0}}},
        {"/p-", {{&s.pauseOutput, 0}}}, {"/p", {{&s.pauseOutput, 1}}},
        {"/suspend-", {{&s.inhibitSuspend, 1}}}, {"/suspend", {{&s.inhibitSuspend, 0}}},
        {"/size-", {{&s.compareSize, 1}}}, {"/size", {{&s.compareSize, 0}}},
        {"/samet-", {{&s.sameTimeOnly, 0}}}, {"/sameta", {{&s.differentTimeOnly, 0}, {&s.sameTimeOnly, 2}}},
        {"/samet", {{&s.differentTimeOnly, 0}, {&s.sameTimeOnly, 1}}}, {"/sames-", {{&s.sameSizeOnly, 0}}},
        {"/sames", {{&s.sameSizeOnly, 1}}}, {"/txtbin-", {{&s.textBinaryCheck, 0}}},
        {"/txtbin", {{&s.textBinaryCheck, 1}}}, {"/test-", {{&s.testMode, 0}}}, {"/test", {{&s.testMode, 1}}},
        {"/td-", {{&s.compareDirTime, 0}}}, {"/tda", {{&s.compareDirTime, 2}}},
        {"/td", {{&s.compareDirTime, 1}}}, {"/t-", {{&s.compareTime, 1}}}, {"/ta", {{&s.compareTime, 2}}},
        {"/t", {{&s.compareTime, 0}}}, {"/time", {{&s.timeThreshold, 0}}},
        {"/time-1", {{&s.timeThreshold, -1}}}, {"/time5x", {{&s.timeThreshold, 5}}},
        {"/TIME600", {{&s.timeThreshold, 600}}},
        // Several options in one argument, words in any case.
        {"/D-/C", {{&s.subDirectory, 0}, {&s.continueOnMismatch, 1}}},
        {"/d/time", {{&s.subDirectory, 1}, {&s.timeThreshold, 0}}},
        {"/d/b", {{&s.subDirectory, 1}, {&s.blockSize, 1048576}}},
        {"/b5/d", {{&s.blockSize, 5}, {&s.subDirectory, 1}}},
        {"/sameta/difft", {{&s.sameTimeOnly, 0}, {&s.differentTimeOnly, 1}}},
        {"/difft/samet", {{&s.sameTimeOnly, 1}, {&s.differentTimeOnly, 0}}},
        {"/log/d", {{&s.logMode, 0}, {&s.subDirectory, 1}}},
        // Another leading character splits only at slashes.
        {"-d/c", {{&s.subDirectory, 1}, {&s.continueOnMismatch, 1}}},
    };
    return rows;
}

void resetSettings() {
    os::release(settings.logPath);
    settings = Settings{};
}

class OptionParser : public ::testing::Test {
protected:
    void SetUp() override { resetSettings(); }
    void TearDown() override { resetSettings(); }
};

TEST_F(OptionParser, EveryWordSetsItsFields) {
    for (const WordRow& row : wordRows()) {
        resetSettings();
        for (const auto& [field, value] : row.expected) *field = SENTINEL;
        applyOptionGroup(row.argument, false);
        for (const auto& [field, value] : row.expected)
            EXPECT_EQ(*field, value)
                << row.argument << " field at offset "
                << reinterpret_cast<char*>(field) - reinterpret_cast<char*>(&s);
    }
}

TEST_F(OptionParser, DisplayFlagAlgebra) {
    // Members in the order b c n e k s d f.
    struct Row {
        const char* argument;
        int32_t flags[8];
    };
    const Row rows[] = {
        {"/v", {1, 1, 1, 1, 0, 1, 1, 1}},      {"/v=", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"/v=sdc", {0, 1, 0, 0, 0, 1, 1, 0}},  {"/v-cb", {0, 0, 1, 1, 1, 1, 1, 1}},
        {"/vk", {1, 1, 1, 1, 0, 1, 1, 1}},     {"/v+ab-k", {1, 1, 1, 1, 0, 1, 1, 1}},
        {"/v+a", {1, 1, 1, 1, 1, 1, 1, 1}},    {"/va", {0, 0, 0, 0, 0, 0, 0, 0}},
        {"/V=NEKF", {0, 0, 1, 1, 1, 0, 0, 1}}, {"/v=e/vs", {0, 0, 0, 1, 0, 0, 0, 0}},
        {"/v=e/v", {1, 1, 1, 1, 0, 1, 1, 1}},
    };
    for (const Row& row : rows) {
        settings = Settings{};
        settings.verbose.skip = 1;
        applyOptionGroup(row.argument, false);
        const VerboseFlags& v = settings.verbose;
        int32_t got[8] = {v.beginning, v.complete, v.notExist,    v.error,
                          v.skip,      v.source,   v.destination, v.finish};
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(got[k], row.flags[k]) << row.argument << " member " << k;
    }
    // A sign alone changes nothing.
    for (const char* argument : {"/v+", "/v-"}) {
        settings = Settings{};
        applyOptionGroup(argument, false);
        EXPECT_EQ(settings.verbose.skip, 0);
        EXPECT_EQ(settings.verbose.beginning, 1);
    }
}

TEST_F(OptionParser, LogFileNameRunsToTheEndAndReplacesTheLastOne) {
    applyOptionGroup("/logfirst.log", false);
    ASSERT_NE(settings.logPath, nullptr);
    EXPECT_STREQ(settings.logPath, "first.log");
    applyOptionGroup("/logx/d", false);
    EXPECT_STREQ(settings.logPath, "x/d");
    EXPECT_EQ(settings.subDirectory, 1);
    EXPECT_EQ(settings.logMode, 1);
    applyOptionGroup("/LOGC:\\b.log", false);
    EXPECT_STREQ(settings.logPath, "C:\\b.log");
    EXPECT_EQ(settings.logMode, 2);
    applyOptionGroup("/log", false);
    EXPECT_EQ(settings.logMode, 0);
    EXPECT_STREQ(settings.logPath, "C:\\b.log");
}

TEST(BlockSize, Examples) {
    const std::pair<const char*, uint32_t> rows[] = {
        {"64k", 65536u},   {"1.5k", 1536u},     {"0.5m", 524288u},     {"1.4g", 1503238552u},
        {"2", 2u},         {"1x", 1u},          {"", 0u},              {"1.5", 1u},
        {"3K", 3072u},     {"1.05k", 1075u},    {"0.123g", 107374182u}, {"5g", 1073741824u},
        {"4g", 0u},        {"2kb", 2048u},      {"1.9999999999999k", 2047u},
    };
    for (const auto& [text, expected] : rows) EXPECT_EQ(parseBlockSize(text), expected) << text;
}

TEST(InvalidOptions, ShortAndGroupMessages) {
    struct Row {
        const char* argument;
        bool fromConfigFile;
        const char* shown;  // the invalid part of a group; nullptr: the short message
    };
    const Row rows[] = {
        {"/", false, nullptr},      {"/x", false, nullptr},     {"/timex", false, nullptr},
        {"/time/d", false, nullptr}, {"/b/d", false, nullptr},   {"/bx", false, nullptr},
        {"/b.5k", false, nullptr},  {"/b3g", false, nullptr},   {"/Logx", false, nullptr},
        {"/help", false, nullptr},  {"/d /c", true, nullptr},   {"/d/x/c", false, "/x/c"},
        {"/vz", false, "vz"},       {"/c/v=sq/d", false, "sq/d"}, {"/d/", false, "/"}, {"/d/vq", true, "vq"},
    };
    for (const Row& row : rows) {
        sim::RunOutput ended = support::runInChild([&] { applyOptionGroup(row.argument, row.fromConfigFile); });
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

}  // namespace
