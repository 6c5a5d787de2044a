// Odd paths under Wine: double-byte names whose second byte is "\" or "|", 255-byte names,
// and paths past the ANSI limit of 260 characters. Each pair is compared, and reported equal
// only when it is.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

// Three levels of 100 bytes: more than 300 characters below the drive.
std::string longPath(const std::string& leaf) {
    return std::string(100, 'p') + "/" + std::string(100, 'q') + "/" + std::string(100, 'r') + "/" + leaf;
}

struct OddCase {
    const char* what;
    std::vector<std::string> names;      // Shift-JIS, '/' separated, made on both sides
    std::vector<std::string> arguments;  // options and both paths
    int stopCode;                        // the exit code of the differing trees
};

TEST(OddPaths, EveryPairIsComparedAndReportedEqualOnlyWhenItIs) {
    // 表, ソ and 能 end in the byte 0x5C, ポ in 0x7C.
    const std::vector<std::string> doubleByte = {"表.txt", "ソ能/表示.txt", "ポ/ポポ.txt", "表/ソ/deep.txt",
                                                 std::string(251, 'n') + ".txt", "a b  c.txt", "~tilde~.txt",
                                                 "ALIAS~1.TXT", "many.dots.in.one.name.txt"};
    const OddCase cases[] = {
        {"double-byte and 255-byte names", doubleByte, {"/d", "/c", "J:\\", "K:\\"}, 2},
        // The second byte 0x5C must neither end the directory name nor count as its separator.
        {"a directory argument ending in 0x5C", {"表/b.txt"}, {"/c", "J:\\表", "K:\\表"}, 2},
        {"the same with a closing separator", {"表/b.txt"}, {"/c", "J:\\表\\", "K:\\表"}, 2},
        {"past 260 characters, stopping", {longPath("differs.txt")}, {"/d", "J:\\", "K:\\"}, 1},
    };
    for (const OddCase& c : cases) {
        for (bool equal : {true, false}) {
            e2e::TempDir source, dest;
            for (const auto& name : c.names) {
                source.file(name, "contents A");
                dest.file(name, equal ? "contents A" : "contents B");
            }
            // Letters of their own: other suites map S: and T:.
            e2e::mapDrive('j', source.path());
            e2e::mapDrive('k', dest.path());
            const e2e::WineRun run = e2e::runMorvi(c.arguments);
            const std::string what = std::string(c.what) + (equal ? ", equal:\n" : ", differing:\n") +
                                     e2e::utf8(run.out) + e2e::utf8(run.err);
            EXPECT_EQ(run.out.find("全ファイル") != std::string::npos, equal) << what;
            for (const auto& name : c.names) {
                std::string path = "J:\\" + name;
                std::replace(path.begin(), path.end(), '/', '\\');
                EXPECT_EQ(run.out.find(path + "＝") != std::string::npos, equal) << e2e::utf8(path) << what;
                EXPECT_TRUE(equal || run.out.find("内容不一致 " + path + "≠") != std::string::npos) << what;
            }
            EXPECT_EQ(run.err, equal || c.stopCode == 2 ? "" : "\a") << what;
            EXPECT_EQ(run.exitCode, equal ? 0 : c.stopCode) << what;
        }
    }
}

}  // namespace
