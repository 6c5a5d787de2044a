// Alternate-name access, the cache modes and the block sizes on real Wine volumes: every
// way of reading gives the same verdicts, the planted content difference included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/wine_run.h"

using e2e::TempDir;

namespace {

TEST(VolumeOptions, EveryReadingModeGivesTheDefaultVerdicts) {
    TempDir source, dest;
    std::string random(200000, '\0');
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
    const std::string planted =
        "内容不一致 S:\\Long Directory Name\\Deeper Long Folder\\big binary file.bin≠"
        "T:\\Long Directory Name\\Deeper Long Folder\\big binary file.bin\r\n";
    ASSERT_NE(reference.out.find(planted), std::string::npos) << e2e::utf8(reference.out);
    EXPECT_NE(reference.out.find("S:\\Long Directory Name\\長い名前のファイルです.txt＝"
                                 "T:\\Long Directory Name\\長い名前のファイルです.txt\r\n"),
              std::string::npos)
        << e2e::utf8(reference.out);
    EXPECT_NE(reference.out.find("ファイル6個（"), std::string::npos) << e2e::utf8(reference.out);
    EXPECT_NE(reference.out.find("中、1個不一致（195.3K(200000)バイト）\r\nディレクトリ3個中、0個不一致\r\n"),
              std::string::npos)
        << e2e::utf8(reference.out);
    ASSERT_EQ(reference.exitCode, 2);

    const char* const modes[] = {"/acalt", "/acalt-", "/acalta", "/cache-", "/cache",
                                 "/bs",    "/bc",     "/b1",     "/b64k",   "/b1000/cache-"};
    for (const char* mode : modes) {
        e2e::WineRun run = e2e::runMorvi({"/d", "/c", mode, "S:\\", "T:\\"});
        EXPECT_EQ(run.out, reference.out) << mode << ":\n" << e2e::utf8(run.out);
        EXPECT_EQ(run.err, "") << mode;
        EXPECT_EQ(run.exitCode, 2) << mode;
    }
}

}  // namespace
