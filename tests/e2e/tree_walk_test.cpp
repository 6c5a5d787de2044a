// Whole trees on two Wine drives walked with /d /c: every entry has its line, only the
// planted mismatches differ, and every way of reading gives the same verdicts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace {

TEST(TreeWalk, WithContinueEveryEntryHasItsLineAndOnlyThePlantedOnesDiffer) {
    e2e::TempDir source, dest;
    std::vector<std::string> expected;  // the match lines of every entry
    auto add = [&](const std::string& relative, const char* contents) {  // none: a directory
        if (contents)
            for (e2e::TempDir* tree : {&source, &dest}) tree->file(relative, contents);
        std::string path = relative;
        std::replace(path.begin(), path.end(), '/', '\\');
        expected.push_back("S:\\" + path + "＝T:\\" + path);
    };
    // 10 directories of 20 files and a subdirectory with two more each, two long names:
    // 242 entries. 表 and ソ end in a byte 0x5C.
    for (const char* dir : {"d00", "d01", "d02", "d03", "d04", "d05", "d06", "d07", "日本語", "表"}) {
        add(dir, nullptr);
        for (int k = 0; k < 20; ++k) {
            char name[32];
            std::snprintf(name, sizeof name, k < 15 ? "/f%02d.txt" : "/g%02d.dat", k);
            add(dir + std::string(name), std::string(k * 7 + 1, static_cast<char>('a' + k)).c_str());
        }
        add(dir + std::string("/sub"), nullptr);
        add(dir + std::string("/sub/ソ.txt"), "so\n");
        add(dir + std::string("/sub/x.dat"), "x\n");
    }
    add("Long File Name.txt", "long one\n");
    add("d01/Long File Name.txt", "long two\n");
    // Equal size, other size, missing in the destination.
    dest.file("d03/f07.txt", std::string(50, 'X'));
    dest.file("表/sub/ソ.txt", "so so\n");
    std::remove(dest.host("日本語/g17.dat").c_str());
    for (const char* planted : {"S:\\d03\\f07.txt＝T:\\d03\\f07.txt", "S:\\表\\sub\\ソ.txt＝T:\\表\\sub\\ソ.txt",
                                "S:\\日本語\\g17.dat＝T:\\日本語\\g17.dat"})
        expected.erase(std::remove(expected.begin(), expected.end(), planted), expected.end());
    expected.insert(expected.end(), {"内容不一致 S:\\d03\\f07.txt≠T:\\d03\\f07.txt",
                                     "サイズ不一致 S:\\表\\sub\\ソ.txt≠T:\\表\\sub\\ソ.txt",
                                     "照合先なし S:\\日本語\\g17.dat≠T:\\日本語\\g17.dat"});
    ASSERT_EQ(expected.size(), 242u);
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());

    e2e::WineRun run = e2e::runMorvi({"/d", "/c", "S:\\", "T:\\"});
    std::vector<std::string> got = e2e::splitLines(run.out);
    ASSERT_EQ(got.size(), expected.size() + 3) << e2e::utf8(run.out);
    std::vector<std::string> summary(got.end() - 3, got.end());
    got.resize(expected.size());
    std::sort(got.begin(), got.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(got, expected) << e2e::utf8(run.out);
    // 222 files of 13568 bytes in 20 directories; the three planted ones hold 50 + 3 + 120.
    EXPECT_EQ(summary, (std::vector<std::string>{"", "ファイル222個（13.2K(13568)バイト）中、3個不一致（173バイト）",
                                                 "ディレクトリ20個中、0個不一致"}))
        << e2e::utf8(run.out);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.exitCode, 2);
}

TEST(VolumeOptions, EveryReadingModeGivesTheDefaultVerdicts) {
    e2e::TempDir source, dest;
    // Past the size whose blocks go to the reader thread, so each mode reads it on two threads.
    std::string random(3 * 1048576 + 4321, '\0');
    for (size_t k = 0; k < random.size(); ++k) random[k] = static_cast<char>(k * 131 % 251);
    const std::pair<std::string, std::string> files[] = {
        {"exact64k.dat", std::string(65536, 'z')},
        {"one block and a byte.dat", std::string(65537, 'q')},
        {"Long Directory Name/Deeper Long Folder/big binary file.bin", random},
        {"Long Directory Name/長い名前のファイルです.txt", "日本語の本文\r\n"},
        {"Long Directory Name/empty file.txt", ""},
        {"short/a.txt", "a\n"},
    };
    for (const auto& [name, contents] : files) {
        source.file(name, contents);
        dest.file(name, contents);
    }
    // Same size and time, one byte apart at the very end: only the contents tell.
    random.back() ^= 0x55;
    dest.file("Long Directory Name/Deeper Long Folder/big binary file.bin", random);
    e2e::mapDrive('s', source.path());
    e2e::mapDrive('t', dest.path());
    e2e::WineRun reference = e2e::runMorvi({"/d", "/c", "S:\\", "T:\\"});
    ASSERT_NE(reference.out.find("内容不一致 S:\\Long Directory Name\\Deeper Long Folder\\big binary file.bin≠"
                                 "T:\\Long Directory Name\\Deeper Long Folder\\big binary file.bin\r\n"),
              std::string::npos)
        << e2e::utf8(reference.out);
    EXPECT_NE(reference.out.find("中、1個不一致（3.0M(3150049)バイト）\r\nディレクトリ3個中、0個不一致\r\n"),
              std::string::npos)
        << e2e::utf8(reference.out);
    ASSERT_EQ(reference.exitCode, 2);

    const char* const modes[] = {"/acalt", "/acalt-", "/acalta", "/cache-", "/cache", "/bs", "/bc",
                                 "/b1", "/b64k", "/b1000/cache-", "/b300k/cache-", "/txtbin"};
    for (const char* mode : modes) {
        e2e::WineRun run = e2e::runMorvi({"/d", "/c", mode, "S:\\", "T:\\"});
        EXPECT_EQ(run.out, reference.out) << mode << ":\n" << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "") << mode;
        EXPECT_EQ(run.exitCode, 2) << mode;
    }
}

}  // namespace
