// Names that code page 932 cannot write, under Wine: each is listed, looked up, opened and
// read as itself, shown as <U+XXXX>, and never taken for another name; paths of any length
// are verified; and a run gives the same bytes whatever ANSI code page Wine gives it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

// The result lines of a run (up to the empty line before the summary), sorted: a listing
// comes in the file system's order.
std::vector<std::string> resultLines(const std::string& out) {
    std::vector<std::string> lines = e2e::splitLines(out);
    lines.erase(std::find(lines.begin(), lines.end(), ""), lines.end());
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::vector<std::string> sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string readable(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += e2e::utf8(line) + "\n";
    return text;
}

struct NamesCase {
    const char* what;
    std::vector<std::string> arguments;
    std::vector<std::string> lines;  // every result line, in any order
    int exitCode;
};

// Each case under the Japanese code page and under another: the same bytes, the same code.
void expectCases(const std::vector<NamesCase>& cases) {
    for (const NamesCase& c : cases) {
        const e2e::WineRun japanese = e2e::runMorvi(c.arguments);
        const e2e::WineRun other = e2e::runMorviInLocale(c.arguments, "C.UTF-8");
        const std::string what = std::string(c.what) + ":\n" + e2e::utf8(japanese.out) + e2e::utf8(japanese.err);
        EXPECT_EQ(resultLines(japanese.out), sorted(c.lines)) << what << "expected:\n" << readable(c.lines);
        EXPECT_EQ(japanese.exitCode, c.exitCode) << what;
        EXPECT_EQ(japanese.err, c.exitCode == 1 ? "\a" : "") << what;  // a stop sounds the bell
        EXPECT_EQ(other.out, japanese.out) << what << "under C.UTF-8:\n" << e2e::utf8(other.out);
        EXPECT_EQ(other.exitCode, japanese.exitCode) << what;
    }
}

const std::string CAFE_ACCENT = "caf<U+00E9>.txt";
const std::string MUELLER = "M<U+00FC>ller.d<U+00F6>c";
const std::string HANGUL_DIR = "<U+D55C>";
const std::string HANGUL = "<U+D55C><U+AE00>.txt";
const std::string EMOJI = "<U+1F600>.txt";     // a surrogate pair
const std::string YOSHI = "<U+20BB7>野家.txt";  // outside JIS, a surrogate pair too

std::string pair(const std::string& label, const std::string& name, const char* separator) {
    return label + "S:\\" + name + separator + "T:\\" + name;
}
std::string match(const std::string& name) { return pair("", name, "＝"); }

TEST(Names, EveryNameIsComparedAsItselfUnderEitherCodePage) {
    const e2e::Trees trees;
    trees.both(CAFE_ACCENT, "accent");
    trees.both("cafe.txt", "plain!");  // the same size, other bytes
    trees.both(MUELLER, "mueller");
    trees.both(HANGUL, "hangul");
    trees.both(EMOJI, "smile!", "frown!");
    trees.both(YOSHI, "yoshinoya");
    trees.both(HANGUL_DIR + "/inside.txt", "inside");
    trees.both(HANGUL_DIR + "/" + CAFE_ACCENT, "inner accent");
    trees.source.file("only<U+00E9>.txt", "only here");
    trees.both("表.txt", "hyou");

    const std::string inDir = HANGUL_DIR + "\\";
    const std::vector<std::string> everyOther = {match(CAFE_ACCENT), match("cafe.txt"), match(MUELLER), match(HANGUL),
                                                 match(YOSHI), match(HANGUL_DIR), match(inDir + "inside.txt"),
                                                 match(inDir + CAFE_ACCENT), match("表.txt")};
    auto with = [](std::vector<std::string> lines, const std::vector<std::string>& more) {
        lines.insert(lines.end(), more.begin(), more.end());
        return lines;
    };
    const std::string emojiDiffers = pair("内容不一致 ", EMOJI, "≠");
    const std::string onlyInSource = pair("照合先なし ", "only<U+00E9>.txt", "≠");
    expectCases({
        {"/d /c", {"/d", "/c", "S:\\", "T:\\"}, with(everyOther, {emojiDiffers, onlyInSource}), 2},
        {"/d /c /contents", {"/d", "/c", "/contents", "S:\\", "T:\\"}, with(everyOther, {match(EMOJI), onlyInSource}), 2},
        {"a folder named so, the default mode",
         {"S:\\" + HANGUL_DIR, "T:\\" + HANGUL_DIR},
         {match(inDir + "inside.txt"), match(inDir + CAFE_ACCENT)},
         0},
        {"one file named", {"S:\\" + CAFE_ACCENT, "T:\\"}, {match(CAFE_ACCENT)}, 0},
        {"one file against another name",
         {"S:\\cafe.txt", "T:\\" + CAFE_ACCENT},
         {"内容不一致 S:\\cafe.txt≠T:\\" + CAFE_ACCENT},
         2},
        {"a source pattern", {"S:\\caf*.txt", "T:\\"}, {match(CAFE_ACCENT), match("cafe.txt")}, 0},
        {"/sf over such names",
         {"/d", "/c", "/sf*<U+00E9>*", "S:\\", "T:\\"},
         {match("cafe.txt"), match(MUELLER), match(HANGUL), match(YOSHI), match(HANGUL_DIR), match(inDir + "inside.txt"),
          match("表.txt"), emojiDiffers},
         2},
    });
}

// The ways today's listings through the ANSI code page went wrong, each now right.
TEST(Names, NoNameIsTakenForAnother) {
    struct Tree {
        std::vector<std::pair<std::string, std::string>> source, dest;
    };
    // Long enough to have an 8.3 name: a listing through the ANSI code page then opens the
    // source, and "?" in the look-up finds the other name first.
    const std::string longA =
        "<U+D55C><U+AD6D><U+C5B4><U+B85C><U+B41C><U+C544><U+C8FC><U+AE34>"
        "<U+D30C><U+C77C><U+C774><U+B984><U+C785><U+B2C8><U+B2E4>.txt";
    const std::string longB =
        "<U+AE00><U+C790><U+B97C><U+BC14><U+AFBC><U+C544><U+C8FC><U+AE34>"
        "<U+D30C><U+C77C><U+C774><U+B984><U+C774><U+C5D0><U+C694>.txt";
    struct IssueCase {
        NamesCase run;
        Tree tree;
    };
    const IssueCase cases[] = {
        {{"two names of one shape", {"/d", "/c", "/contents", "S:\\", "T:\\"}, {pair("照合先なし ", "<U+D55C>.txt", "≠")}, 2},
         {{{"<U+D55C>.txt", "same"}}, {{"<U+AE00>.txt", "same"}}}},
        {{"the right partner", {"S:\\", "T:\\"}, {match("<U+D55C>.txt"), match("x.txt")}, 0},
         {{{"<U+D55C>.txt", "a"}, {"x.txt", "b"}}, {{"<U+D55C>.txt", "a"}, {"x.txt", "b"}}}},
        {{"not its best-fit letter", {"/c", "S:\\", "T:\\"}, {pair("内容不一致 ", "<U+00E9>.txt", "≠"), match("e.txt")}, 2},
         {{{"<U+00E9>.txt", "accent"}, {"e.txt", "plain!"}}, {{"<U+00E9>.txt", "ACCENT"}, {"e.txt", "plain!"}}}},
        {{"read, not refused", {"S:\\", "T:\\"}, {match("<U+00FC>.txt")}, 0},
         {{{"<U+00FC>.txt", "umlaut"}}, {{"<U+00FC>.txt", "umlaut"}}}},
        {{"a corrupted copy beside a name of its shape", {"S:\\", "T:\\"}, {pair("内容不一致 ", longA, "≠")}, 1},
         {{{longA, "original"}}, {{longB, "original"}, {longA, "corrupt!"}}}},
    };
    for (const IssueCase& c : cases) {
        const e2e::Trees trees;
        for (const auto& file : c.tree.source) trees.source.file(file.first, file.second);
        for (const auto& file : c.tree.dest) trees.dest.file(file.first, file.second);
        expectCases({c.run});
    }
}

// Folders deep enough that the path passes 260 and 1024 characters, in every way of reaching
// an entry: long names (/acalt-), 8.3 names (/acalt) and the file system's choice (/acalta).
TEST(Names, DeepPathsAreVerifiedToTheBottomInEveryAccessMode) {
    struct Depth {
        const char* what;
        int levels;
        std::string folder;  // each level's name, numbered
    };
    const Depth depths[] = {{"past 260", 26, "日本語のフォルダ"},
                            {"past 1024", 42, "長いフォルダの名前<U+00E9>と<U+D55C>をつけたディレクトリ"}};
    for (const Depth& depth : depths) {
        const e2e::Trees trees;
        std::vector<std::string> lines;
        std::string relative;
        for (int level = 1; level <= depth.levels; ++level) {
            relative += (level > 1 ? "/" : "") + depth.folder + std::to_string(level);
            std::string windows = relative;
            std::replace(windows.begin(), windows.end(), '/', '\\');
            lines.push_back(match(windows));
            for (const char* file : {"a.txt", "b<U+00E9>.txt"}) {
                trees.both(relative + "/" + file, "level " + std::to_string(level));
                lines.push_back(match(windows + "\\" + file));
            }
        }
        const std::string deepest = e2e::utf8(lines.back().substr(0, lines.back().find("＝")));
        ASSERT_GT(std::count_if(deepest.begin(), deepest.end(), [](char byte) { return (byte & 0xC0) != 0x80; }),
                  depth.levels > 30 ? 1024 : 260);
        for (const char* access : {"/acalt", "/acalt-", "/acalta"}) {
            NamesCase run{depth.what, {"/d", "/c", access, "S:\\", "T:\\"}, lines, 0};
            SCOPED_TRACE(access);
            expectCases({run});
        }
    }
}

// The wide calls are found when the program starts: importing one would keep it from
// loading on Windows 95, which lacks some of them. (The C runtime's start-up code has long
// imported GetModuleHandleW.)
TEST(Imports, NoWideCallIsImported) {
    std::string exe = e2e::morviExe().substr(2);  // Z:\... is the host's /...
    std::replace(exe.begin(), exe.end(), '\\', '/');
    FILE* dump = popen(("objdump -p '" + exe + "'").c_str(), "r");
    ASSERT_NE(dump, nullptr);
    std::string imports;
    char line[512];
    int functions = 0;
    while (std::fgets(line, sizeof line, dump) != nullptr) {
        char name[256];
        unsigned address = 0, hint = 0;
        if (std::sscanf(line, " %x %u %255s", &address, &hint, name) != 3) continue;
        ++functions;
        const std::string function = name;
        if (function.back() == 'W' && function != "GetModuleHandleW") imports += function + " ";
    }
    pclose(dump);
    EXPECT_GT(functions, 50);
    EXPECT_EQ(imports, "");
}

}  // namespace
