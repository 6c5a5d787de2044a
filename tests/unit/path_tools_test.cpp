// The Shift-JIS byte rules and the source resolution that every scan over a path rests on.
#include <gtest/gtest.h>

#include "run/path_buffer.h"
#include "run/path_tools.h"
#ifndef _WIN32
#include "platform/sim/machine.h"
#endif

namespace {

// 表 is 0x95 0x5C: its second byte is a backslash that must never count as a separator.
const std::string HYOU = "\x95\x5C";

TEST(ByteTools, SecondByteBackslashIsNoSeparator) {
    const std::string dir = "C:\\data\\" + HYOU;
    EXPECT_FALSE(endsWithSeparator(dir.c_str()));
    EXPECT_TRUE(endsWithSeparator((dir + "\\").c_str()));
    EXPECT_EQ(findLastByte(dir.c_str(), '\\'), 7);
    EXPECT_EQ(byteKindAt(dir.c_str(), 9), 2);
    EXPECT_EQ(findByte((HYOU + "\\x").c_str(), '\\'), 2);
    // A lead byte at the very end ends the scan with none.
    EXPECT_EQ(findLastByte("a\\b\x95", '\\'), -1);
    EXPECT_EQ(byteKindAt("\x95\x1F", 1), 0);  // a byte that cannot be second starts afresh
}

// ミ ends in 0x7E ("~"), 表 in 0x5C, ポ in 0x7C, ア in the letter A: none of them is a tilde
// or a separator.
TEST(ByteTools, AliasShape) {
    const std::pair<const char*, bool> names[] = {
        {"PROGRA~1.TXT", true}, {"ABCDEF~1", true}, {"LONGNAME~1.TXT", false}, {"A~1.HTML", false},
        {"a~.表xx", false}, {"ミ.txt", false}, {"ミ", false}, {"ポ~1.TXT", true}, {"ア~1.ア", true},
        {"x~1.a表", true}, {"ソ~1.TXT", true}, {"", false},
    };
    for (const auto& [name, shaped] : names) EXPECT_EQ(hasAliasShape(name), shaped) << name;
}

#ifndef _WIN32  // the simulated machine: host builds only
// "<length>|<path>|<tail>|<alias>" of a source argument; the path is empty on failure.
std::string resolve(const std::string& argument, bool bothKindsWalk = false) {
    PathBuffer path;
    allocatePath(path, 1024);  // small, so that a long argument must grow it
    char* tail = nullptr;
    int32_t alias = 0;
    int32_t length = resolveSource(argument.c_str(), path, &tail, &alias, bothKindsWalk, true, true);
    std::string result = std::to_string(length) + "|" + (length >= 0 ? path.text : "") + "|" +
                         (length >= 0 && tail ? tail : "") + "|" + std::to_string(alias);
    os::release(tail);
    releasePath(path);
    return result;
}

TEST(Resolution, DirectoriesDrivesPatternsFilesAndFailures) {
    sim::resetMachine();
    sim::addFile("C:\\data\\a.txt", "x");
    sim::addVolume("\\\\server\\share\\");
    sim::addDirectory("\\\\server\\share\\dir");
    const std::string longDir = "C:\\" + std::string(1500, 'd');
    sim::addDirectory(longDir);
    const struct {
        std::string argument;
        bool bothKindsWalk;
        std::string resolved;
    } cases[] = {
        {"C:\\data\\*.*", false, "8|C:\\data\\||0"},
        {"C:*.txt", false, "2|C:|*.txt|0"},
        {"C:\\data\\a.txt", false, "8|C:\\data\\|a.txt|0"},
        {"C:\\data\\ABCDEF~1.TXT", false, "8|C:\\data\\|ABCDEF~1.TXT|1"},
        {"\\\\server\\share\\dir", false, "19|\\\\server\\share\\dir\\||0"},
        {longDir + "\\*.txt", false, "1504|" + longDir + "\\|*.txt|0"},
        {"C:\\data\\a.txt", true, "-3|||0"},  // a plain name must be a directory
    };
    for (const auto& c : cases) EXPECT_EQ(resolve(c.argument, c.bothKindsWalk), c.resolved) << c.argument.substr(0, 40);
    sim::resetMachine();
}
#endif

}  // namespace
