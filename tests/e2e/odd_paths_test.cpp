// Long and odd names under Wine: long names, paths past the ANSI limit of 260 characters,
// blanks, dots, tildes, and double-byte names whose second byte is "\" or "|". Whatever
// the system makes of them, a pair is never reported equal unless it was compared equal.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

const std::string MATCH = "＝";
const std::string ALL_MATCH = "全ファイル";
const std::string STOPPED = "処理停止:";

// Names as the program sees them (Shift-JIS); '/' separates directories here.
const std::vector<std::string> ODD_NAMES = {
    "a b  c.txt",
    "many.dots.in.one.name.txt",
    "~tilde~.txt",
    "ALIAS~1.TXT",
    std::string(251, 'n') + ".txt",  // 255 bytes
    "表.txt",                        // 0x95 0x5C
    "ソ能/表示.txt",                  // directory ending in second bytes 0x5C
    "ポ/ポポ.txt",                    // 0x83 0x7C: a second byte "|"
    "表/ソ/deep.txt",
};

// Spellings the Windows path rules rewrite: the system may find them or not.
const std::vector<std::string> TRIMMED_NAMES = {"dot.", "blank ", "dots..."};

std::string windowsName(const std::string& relative) {
    std::string name = relative;
    for (char& byte : name)
        if (byte == '/') byte = '\\';
    return name;
}

// Three levels of 100 bytes: more than 300 characters below the drive.
std::string longPath(const std::string& leaf) {
    return std::string(100, 'p') + "/" + std::string(100, 'q') + "/" + std::string(100, 'r') + "/" + leaf;
}

// The result lines that name this source path and say it matched.
bool reportedEqual(const std::string& out, const std::string& sourcePath) {
    const std::string line = sourcePath + MATCH;
    return out.find(line) != std::string::npos;
}

bool mentioned(const std::string& out, const std::string& sourcePath) {
    return out.find(sourcePath) != std::string::npos;
}

// No crash dialog, no exception trace, only the program's own exits.
void expectOrderlyEnd(const e2e::WineRun& run, const std::string& what) {
    EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1 || run.exitCode == 2)
        << what << " exit " << run.exitCode << "\n" << e2e::utf8(run.err);
    // Exit code 1: a stop with its message, or the first mismatch without /c.
    if (run.exitCode == 1) {
        EXPECT_TRUE(run.err.find(STOPPED) != std::string::npos || run.out.find("≠") != std::string::npos)
            << what << e2e::utf8(run.out) << e2e::utf8(run.err);
    }
    EXPECT_EQ(run.err.find("Unhandled"), std::string::npos) << what << e2e::utf8(run.err);
    EXPECT_EQ(run.err.find("Backtrace"), std::string::npos) << what << e2e::utf8(run.err);
}

class OddPaths : public ::testing::Test {
protected:
    void SetUp() override {
        // Letters of their own: other suites map S: and T:.
        e2e::mapDrive('j', source.path());
        e2e::mapDrive('k', dest.path());
    }
    // The same names on both sides, with equal or with differing contents of equal size.
    void pairs(const std::vector<std::string>& names, bool equal) {
        for (const auto& name : names) {
            source.file(name, "contents A");
            dest.file(name, equal ? "contents A" : "contents B");
        }
    }
    e2e::WineRun verify(std::vector<std::string> options) {
        options.push_back("J:\\");
        options.push_back("K:\\");
        return e2e::runMorvi(options);
    }
    e2e::TempDir source, dest;
};

TEST_F(OddPaths, OddNamesMatchWhenEqualAndAreEachReportedWhenNot) {
    for (bool equal : {true, false}) {
        pairs(ODD_NAMES, equal);
        const e2e::WineRun run = verify({"/d", "/c"});
        EXPECT_EQ(run.exitCode, equal ? 0 : 2) << e2e::utf8(run.out) << e2e::utf8(run.err);
        EXPECT_EQ(run.out.find(ALL_MATCH) != std::string::npos, equal) << e2e::utf8(run.out);
        for (const auto& name : ODD_NAMES) {
            const std::string path = "J:\\" + windowsName(name);
            EXPECT_EQ(reportedEqual(run.out, path), equal) << e2e::utf8(path) << "\n" << e2e::utf8(run.out);
            if (!equal) {
                EXPECT_NE(run.out.find("内容不一致 " + path + "≠"), std::string::npos) << e2e::utf8(run.out);
            }
        }
    }
}

TEST_F(OddPaths, NamesTheSystemRewritesAreNeverTakenForEqualUnread) {
    for (bool equal : {true, false}) {
        e2e::TempDir freshSource, freshDest;
        e2e::mapDrive('j', freshSource.path());
        e2e::mapDrive('k', freshDest.path());
        for (const auto& name : TRIMMED_NAMES) {
            freshSource.file(name, "contents A");
            freshDest.file(name, equal ? "contents A" : "contents B");
        }
        const e2e::WineRun run = verify({"/d", "/c"});
        const std::string what = equal ? "equal" : "differing";
        expectOrderlyEnd(run, what);
        if (equal) continue;
        EXPECT_NE(run.exitCode, 0) << e2e::utf8(run.out);
        EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos) << e2e::utf8(run.out);
        for (const auto& name : TRIMMED_NAMES)
            EXPECT_FALSE(reportedEqual(run.out, "J:\\" + name)) << name << "\n" << e2e::utf8(run.out);
    }
}

TEST_F(OddPaths, PathsPastTheAnsiLimitAreReportedOrStopTheRunNeverMatchedUnread) {
    const std::vector<std::string> names = {longPath("differs.txt"), longPath(std::string(200, 'z'))};
    pairs(names, false);
    source.file("short.txt", "fine");
    dest.file("short.txt", "fine");
    for (const std::vector<std::string>& options :
         std::vector<std::vector<std::string>>{{"/d", "/c"}, {"/d"}, {"/d", "/c", "/bs"}, {"/d", "/c", "/acalt"}}) {
        const e2e::WineRun run = verify(options);
        std::string what;
        for (const auto& option : options) what += option + " ";
        expectOrderlyEnd(run, what);
        EXPECT_NE(run.exitCode, 0) << what << e2e::utf8(run.out);
        EXPECT_EQ(run.out.find(ALL_MATCH), std::string::npos) << what << e2e::utf8(run.out);
        for (const auto& name : names)
            EXPECT_FALSE(reportedEqual(run.out, "J:\\" + windowsName(name))) << what << e2e::utf8(run.out);
        // A completed run names the pairs it could not compare.
        if (run.exitCode == 2) {
            for (const auto& name : names)
                EXPECT_TRUE(mentioned(run.out, "J:\\" + windowsName(name).substr(0, 200)) ||
                            mentioned(run.out, std::string(100, 'p')))
                    << what << e2e::utf8(run.out);
        }
    }
}

}  // namespace
