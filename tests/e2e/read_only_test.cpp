// The program only reads the trees it verifies: whatever the options, both trees keep every
// byte, size, modification time, mode and extended attribute (where Wine keeps DOS attributes).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace fs = std::filesystem;

namespace {

// Every entry below the root, the root included: mode, size, write time in nanoseconds,
// extended attributes and a hash of the contents.
std::map<std::string, std::string> snapshot(const std::string& root) {
    std::map<std::string, std::string> entries;
    auto record = [&](const fs::path& path) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) return;
        const bool directory = S_ISDIR(info.st_mode);
        std::string state = std::to_string(info.st_mode) + " " + std::to_string(directory ? 0 : info.st_size) + " " +
                            std::to_string(info.st_mtim.tv_sec) + "." + std::to_string(info.st_mtim.tv_nsec);
        char names[4096], value[4096];
        ssize_t length = llistxattr(path.c_str(), names, sizeof names);
        for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
            ssize_t size = lgetxattr(path.c_str(), names + at, value, sizeof value);
            state += std::string(" ") + (names + at) + "=" + (size >= 0 ? std::string(value, size) : "?");
        }
        if (!directory) state += " " + std::to_string(std::hash<std::string>{}(e2e::readFile(path.string())));
        entries[fs::relative(path, root).string()] = state;
    };
    record(root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) record(entry.path());
    return entries;
}

TEST(ReadOnly, NoOptionFamilyChangesEitherTree) {
    // Agreeing and differing files, a read-only one, a multi-block one, nested and
    // double-byte named directories, files on one side only.
    e2e::TempDir source, dest, logs;
    for (e2e::TempDir* tree : {&source, &dest}) {
        tree->file("same.txt", "the same\r\n");
        tree->file("big.bin", std::string(3 << 20, 'm'));
        tree->file("sub/deep/nested.txt", "nested");
        tree->file("表/ポ.txt", "double-byte names");
        tree->file("skipme/x.txt", "filtered");
        // The read-only attribute, which Wine takes from the mode bits for root as for anyone.
        // No fault here: root may still write the file, and the snapshots would show it.
        tree->file("readonly.txt", "read-only");
        chmod(tree->host("readonly.txt").c_str(), 0444);
    }
    source.file("differs.txt", "text one\r\n");
    dest.file("differs.txt", "text two\r\n");
    source.file("binary.bin", std::string("\x01\x02\x03", 3));  // still differs when .txt is skipped
    dest.file("binary.bin", std::string("\x01\x02\x04", 3));
    source.file("sub/older.txt", "same bytes, other time");
    dest.file("sub/older.txt", "same bytes, other time", e2e::FIXED_WRITE_TIME - 86400);
    source.file("onlysource.txt", "no twin");
    dest.file("onlydest.txt", "no twin");
    // Letters of their own: other suites map S: and T:.
    e2e::mapDrive('g', source.path());
    e2e::mapDrive('h', dest.path());
    e2e::mapDrive('i', logs.path());
    // Each reading mode, the filters, the log, then a single file and a pattern.
    const std::vector<std::vector<std::string>> runs = {
        {"/d", "/c", "/cache-", "G:\\", "H:\\"},
        {"/d", "/c", "/bc", "/acalt", "G:\\", "H:\\"},
        {"/d", "/c", "/txtbin", "/ta", "/aa", "/namealt", "/dirs", "/tda", "G:\\", "H:\\"},
        {"/d", "/c", "/sdskipme", "/setxt", "/ls1-", "/ly2000-", "/dshH:\\表", "G:\\", "H:\\"},
        {"/d", "/c", "/sames", "/samet", "/logI:\\run.log", "G:\\", "H:\\"},
        {"/d", "/LOGI:\\run.log", "/test", "G:\\", "H:\\"},
        {"/cache-", "G:\\readonly.txt", "H:\\"},
        {"/d", "/c", "G:\\表\\*", "H:\\表"},
    };
    const auto sourceBefore = snapshot(source.path());
    const auto destBefore = snapshot(dest.path());
    for (const auto& arguments : runs) {
        const std::string what = testing::PrintToString(arguments) + " ";
        const e2e::WineRun run = e2e::runMorvi(arguments);
        EXPECT_LE(run.exitCode, 2) << what << e2e::utf8(run.err);
        // The whole trees differ: such a run must not pass.
        EXPECT_TRUE(arguments[arguments.size() - 2] != "G:\\" || run.exitCode != 0) << what;
        EXPECT_NE(run.out.find("G:\\"), std::string::npos) << what << e2e::utf8(run.out);
        EXPECT_EQ(run.err.find("無効オプション"), std::string::npos) << what << e2e::utf8(run.err);
        EXPECT_EQ(snapshot(source.path()), sourceBefore) << what << "in the source";
        EXPECT_EQ(snapshot(dest.path()), destBefore) << what << "in the destination";
    }
    // The log went to its own directory, nowhere else.
    EXPECT_FALSE(e2e::readFile(logs.host("run.log")).empty());
}

}  // namespace
