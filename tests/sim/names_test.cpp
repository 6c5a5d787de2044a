// Names and paths over the simulated machine: the wide calls of the NT family with names
// code page 932 cannot write, the long form beyond MAX_PATH, and Windows 9x, whose ANSI
// listings put "?" in place of such characters.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "platform/long_paths.h"
#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace {

using Lines = std::vector<std::string>;

// The result lines of a run, sorted.
Lines resultLines(const std::string& out) {
    Lines lines;
    std::istringstream text(out);
    for (std::string line; std::getline(text, line) && !line.empty();) lines.push_back(line);
    std::sort(lines.begin(), lines.end());
    return lines;
}

Lines sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string same(const std::string& rel) { return "C:\\src\\" + rel + "＝D:\\dst\\" + rel; }
std::string differ(const std::string& label, const std::string& rel) {
    return label + "C:\\src\\" + rel + "≠D:\\dst\\" + rel;
}

class Names : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
    }
    static void pair(const std::string& rel, const std::string& contents) {
        sim::addFile("C:\\src\\" + rel, contents);
        sim::addFile("D:\\dst\\" + rel, contents);
    }
};

// The program may live as deep as any file, under any name: its configuration file is read.
TEST_F(Names, AProgramInADeepFolderReadsItsConfigurationFile) {
    const std::string folder = "C:\\" + std::string(300, 'p') + "\\<U+00E9>";
    sim::machine().modulePath = folder + "\\morvi.exe";
    sim::addFile(sim::machine().modulePath, "");
    sim::addFile(folder + "\\morvi.cfg", "/c\n");
    sim::addFile("C:\\src\\only.txt", "x");
    const support::RunOutput run = support::runProgram({"C:\\src", "D:\\dst"});
    EXPECT_EQ(run.exitCode, 2) << run.out << run.err;  // /c went on after the mismatch
}

// A path that reaches MAX_PATH needs the long form in every call that takes it.
TEST_F(Names, TheLongFormIsTakenExactlyWhereAPathNeedsIt) {
    sim::machine().currentDirectory = "C:\\" + std::string(250, 'w');
    sim::addDirectory(sim::machine().currentDirectory);
    sim::addVolume("\\\\server\\share\\");
    const std::string drive259 = "C:\\" + std::string(256, 'x');
    const struct {
        std::string path;
        std::u16string given;  // what the wide call gets
    } rows[] = {
        {"C:\\short\\caf<U+00E9>", u"C:\\short\\café"},
        {drive259, sim::wide(drive259)},
        {drive259 + "y", u"\\\\?\\" + sim::wide(drive259 + "y")},
        {"C:/" + std::string(300, 'x') + "/../y", u"\\\\?\\C:\\y"},  // long until it is made full
        // Behind \\?\ "." and an empty name would be names of their own: made full first.
        {"C:\\" + std::string(300, 'x') + "\\.\\\\y", u"\\\\?\\C:\\" + sim::wide(std::string(300, 'x')) + u"\\y"},
        {"\\\\server\\share\\" + std::string(250, 's'), u"\\\\?\\UNC\\server\\share\\" + sim::wide(std::string(250, 's'))},
        {"rel", u"rel"},
        {std::string(8, 'r'), u"\\\\?\\C:\\" + sim::wide(std::string(250, 'w') + "\\" + std::string(8, 'r'))},
        {"\\\\?\\C:\\" + std::string(300, 'x'), u"\\\\?\\C:\\" + sim::wide(std::string(300, 'x'))},
    };
    for (const auto& row : rows) {
        text::WideText given;
        ASSERT_TRUE(longpath::nativePathOf(row.path.c_str(), given)) << row.path;
        EXPECT_EQ(std::u16string(given.units(), given.size()), row.given) << row.path;
    }
    text::WideText none;
    EXPECT_FALSE(longpath::nativePathOf("C:\\\x85\x40", none));  // bytes that name no character
}

TEST_F(Names, DeepCopiesPastEveryLimitMatchInEveryAccessMode) {
    Lines expected;
    std::string rel;
    for (int level = 1; level <= 40; ++level) {
        rel += (level > 1 ? "\\" : "") + std::string("フォルダ<U+00E9>") + std::to_string(level) + std::string(20, 'n');
        sim::addDirectory("C:\\src\\" + rel).altName = sim::wide("FOLD~" + std::to_string(level));
        sim::addDirectory("D:\\dst\\" + rel).altName = sim::wide("FOLD~" + std::to_string(level));
        pair(rel + "\\file<U+1F600>.txt", "level " + std::to_string(level));
        expected.push_back(same(rel));
        expected.push_back(same(rel + "\\file<U+1F600>.txt"));
    }
    ASSERT_GT(sim::wide("C:\\src\\" + rel).size(), 1024u);
    for (const char* access : {"/acalt", "/acalt-", "/acalta"}) {
        const support::RunOutput run = support::runProgram({"/d", "/c", access, "C:\\src", "D:\\dst"});
        EXPECT_EQ(resultLines(run.out), sorted(expected)) << access << "\n" << run.out;
        EXPECT_EQ(run.exitCode, 0) << access;
    }
}

// A name that a look-up takes for a wildcard is never looked up, so never matched: the
// substitution mark of Windows 9x, and on the NT family a character Windows forbids, which
// a foreign file system may allow.
TEST_F(Names, ANameThatIsAPatternIsCountedNeverMatched) {
    const struct {
        const char* what;
        bool windows9x;
        std::string file, dir, shown, shownDir;  // as the source keeps them, as listed
    } rows[] = {
        // 表 ends in the byte 0x5C, which must not hide the "?" behind it.
        {"Windows 9x", true, "表caf<U+00E9>.txt", "<U+D55C>", "表caf?.txt", "?"},
        {"NT, a foreign name", false, "表caf?.txt", "d*r", "表caf?.txt", "d*r"},
    };
    for (const auto& row : rows) {
        SetUp();
        if (row.windows9x) sim::machine().version = {true, 1, 4, 10};
        pair(row.file, "accent");
        pair("表cafe.txt", "accent");  // what the pattern would find
        pair(row.dir + "\\inner.txt", "x");
        sim::addDirectory("D:\\dst\\dxr");
        const struct {
            std::vector<std::string> options;
            bool fileListed, dirListed;
            int exitCode;
        } runs[] = {
            {{"/d", "/c"}, true, true, 2},
            {{"/c"}, true, false, 2},  // without /d no directory takes part
            {{"/d"}, true, false, 1},  // the first mismatch stops the run
        };
        for (const auto& r : runs) {
            std::vector<std::string> arguments = r.options;
            arguments.insert(arguments.end(), {"C:\\src", "D:\\dst"});
            const support::RunOutput run = support::runProgram(arguments);
            const Lines lines = resultLines(run.out);
            const std::string what = std::string(row.what) + " " + r.options.back() + "\n" + run.out;
            for (const std::string& line : lines)
                EXPECT_TRUE(line.find("＝") == std::string::npos || line == same("表cafe.txt")) << what;
            EXPECT_EQ(std::count(lines.begin(), lines.end(), differ("照合元オープン不能 ", row.shown)), r.fileListed) << what;
            EXPECT_EQ(std::count(lines.begin(), lines.end(), differ("照合元行方不明 ", row.shownDir)), r.dirListed) << what;
            EXPECT_EQ(run.exitCode, r.exitCode) << what;
        }
    }
}

}  // namespace
