// The program only reads the trees it verifies: whatever the options, both trees keep
// every byte, size, modification time, mode and extended attribute (where Wine keeps the
// DOS attributes).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/wine_run.h"

namespace fs = std::filesystem;

namespace {

struct EntryState {
    bool directory = false;
    uint64_t size = 0;
    int64_t modifiedNs = 0;
    uint32_t mode = 0;
    std::string contents;
    std::map<std::string, std::string> xattrs;

    bool operator==(const EntryState& other) const {
        return directory == other.directory && size == other.size && modifiedNs == other.modifiedNs &&
               mode == other.mode && contents == other.contents && xattrs == other.xattrs;
    }
};

std::map<std::string, std::string> xattrsOf(const std::string& path) {
    std::map<std::string, std::string> found;
    char names[4096];
    ssize_t length = llistxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < length; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
        char value[4096];
        ssize_t size = lgetxattr(path.c_str(), names + at, value, sizeof value);
        found[names + at] = size >= 0 ? std::string(value, static_cast<size_t>(size)) : "?";
    }
    return found;
}

// The tree's root included, keyed by the path below it.
std::map<std::string, EntryState> snapshot(const std::string& root) {
    std::map<std::string, EntryState> entries;
    auto record = [&](const fs::path& path) {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0) return;
        EntryState state;
        state.directory = S_ISDIR(info.st_mode);
        state.size = state.directory ? 0 : static_cast<uint64_t>(info.st_size);
        state.modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
        state.mode = info.st_mode;
        if (!state.directory) state.contents = e2e::readFile(path.string());
        state.xattrs = xattrsOf(path.string());
        entries[fs::relative(path, root).string()] = state;
    };
    record(root);
    for (const auto& entry : fs::recursive_directory_iterator(root)) record(entry.path());
    return entries;
}

void expectUnchanged(const std::map<std::string, EntryState>& before,
                     const std::map<std::string, EntryState>& after, const std::string& what) {
    EXPECT_EQ(before.size(), after.size()) << what;
    for (const auto& [path, state] : before) {
        auto found = after.find(path);
        if (found == after.end()) {
            ADD_FAILURE() << what << ": " << path << " vanished";
            continue;
        }
        EXPECT_TRUE(found->second == state) << what << ": " << path << " changed";
    }
    for (const auto& [path, state] : after)
        if (before.count(path) == 0) ADD_FAILURE() << what << ": " << path << " appeared";
}

class ReadOnly : public ::testing::Test {
protected:
    void SetUp() override {
        // Agreeing files, differing ones (text and binary), read-only and hidden ones, an
        // empty file, nested and double-byte named directories, a multi-block file.
        const std::string big(3 << 20, 'm');
        for (e2e::TempDir* tree : {&source, &dest}) {
            tree->file("same.txt", "the same\r\n");
            tree->file("big.bin", big);
            tree->file("empty.dat", "");
            tree->file("sub/deep/nested.txt", "nested");
            tree->file("表/ポ.txt", "double-byte names");
            tree->file("skipme/x.txt", "filtered");
            tree->file(".hidden", "hidden on Windows");
            tree->file("locked.txt", "read-only");
            chmod(tree->host("locked.txt").c_str(), 0444);
            tree->dir("emptydir");
        }
        source.file("differs.txt", "text one\r\n");
        dest.file("differs.txt", "text two\r\n");
        source.file("binary.bin", std::string("\x01\x02\x03", 3));
        dest.file("binary.bin", std::string("\x01\x02\x04", 3));
        source.file("sub/older.txt", "same bytes, other time");
        dest.file("sub/older.txt", "same bytes, other time");
        dest.setWriteTime("sub/older.txt", e2e::FIXED_WRITE_TIME - 86400);
        source.file("onlysource.txt", "no twin");
        dest.file("onlydest.txt", "no twin");
        // Letters of their own: other suites map S: and T:.
        e2e::mapDrive('g', source.path());
        e2e::mapDrive('h', dest.path());
        e2e::mapDrive('i', logs.path());
    }
    void TearDown() override {
        for (e2e::TempDir* tree : {&source, &dest}) chmod(tree->host("locked.txt").c_str(), 0644);
    }
    e2e::TempDir source, dest, logs;
};

TEST_F(ReadOnly, NoOptionFamilyChangesEitherTree) {
    // Each reading mode, the filters, the log, then single files and patterns.
    const std::vector<std::vector<std::string>> runs = {
        {"/d", "/c", "/cache-", "G:\\", "H:\\"},
        {"/d", "/c", "/bc", "/acalt", "G:\\", "H:\\"},
        {"/d", "/c", "/txtbin", "/ta", "/aa", "/namealt", "/dirs", "/tda", "G:\\", "H:\\"},
        {"/d", "/c", "/sdskipme", "/setxt", "/ls1-", "/ly2000-", "G:\\", "H:\\"},
        {"/d", "/c", "/lhsub", "/dshH:\\表", "G:\\", "H:\\"},
        {"/d", "/c", "/sames", "/samet", "/logI:\\run.log", "G:\\", "H:\\"},
        {"/d", "/LOGI:\\run.log", "/test", "G:\\", "H:\\"},
        {"G:\\big.bin", "H:\\big.bin"},
        {"/cache-", "G:\\locked.txt", "H:\\"},
        {"/d", "/c", "G:\\表\\*", "H:\\表"},
    };
    const auto sourceBefore = snapshot(source.path());
    const auto destBefore = snapshot(dest.path());
    for (const auto& arguments : runs) {
        std::string what;
        for (const auto& argument : arguments) what += argument + " ";
        const e2e::WineRun run = e2e::runMorvi(arguments);
        EXPECT_LE(run.exitCode, 2) << what << e2e::utf8(run.err);
        // The whole trees differ: such a run must not pass.
        if (arguments[arguments.size() - 2] == "G:\\") {
            EXPECT_NE(run.exitCode, 0) << what;
        }
        EXPECT_NE(run.out.find("G:\\"), std::string::npos) << what << e2e::utf8(run.out);
        EXPECT_EQ(run.err.find("無効オプション"), std::string::npos) << what << e2e::utf8(run.err);
        expectUnchanged(sourceBefore, snapshot(source.path()), what + "source");
        expectUnchanged(destBefore, snapshot(dest.path()), what + "destination");
    }
    // The log went to its own directory, nowhere else.
    EXPECT_FALSE(e2e::readFile(logs.host("run.log")).empty());
}

}  // namespace
