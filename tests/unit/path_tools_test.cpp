// The Shift-JIS byte rules and the source resolution that every scan over a path rests on.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "run/path_buffer.h"
#include "run/path_tools.h"

namespace {

// 表 is 0x95 0x5C: its second byte is a backslash that must never count as a separator.
const std::string HYOU = "\x95\x5C";

TEST(ByteTools, SecondByteBackslashIsNoSeparator) {
    const std::string dir = "C:\\data\\" + HYOU;
    EXPECT_FALSE(endsWithSeparator(dir.c_str()));
    EXPECT_TRUE(endsWithSeparator((dir + "\\").c_str()));
    EXPECT_EQ(findLastByte(dir.c_str(), '\\'), 7);
    EXPECT_EQ(byteKindAt(dir.c_str(), 8), 1);
    EXPECT_EQ(byteKindAt(dir.c_str(), 9), 2);
    EXPECT_EQ(byteKindAt(dir.c_str(), 10), 0);  // past the end
    EXPECT_EQ(findByte((HYOU + "\\x").c_str(), '\\'), 2);
}

TEST(ByteTools, LeadByteAtTheVeryEndEndsTheScanWithNone) {
    EXPECT_EQ(findLastByte("a\\b\x95", '\\'), -1);
    EXPECT_EQ(findByte("ab\x95", 'x'), -1);
    // A lead byte followed by a byte that cannot be second starts afresh.
    EXPECT_EQ(byteKindAt("\x95\x1F", 1), 0);
}

TEST(ByteTools, AliasShape) {
    const struct {
        const char* name;
        bool alias;
    } cases[] = {
        {"PROGRA~1.TXT", true}, {"ABCDEF~1", true},   {"LONGNAME~1.TXT", false},
        {"A~1.HTML", false},    {"ABCDEFG~1", false},
    };
    for (const auto& c : cases) EXPECT_EQ(hasAliasShape(c.name), c.alias) << c.name;
}

class Resolution : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addDirectory("C:\\data");
        sim::addFile("C:\\data\\a.txt", "x");
        sim::addDirectory("C:\\data\\" + HYOU);
        sim::addVolume("\\\\server\\share\\");
        sim::addDirectory("\\\\server\\share\\dir");
        allocatePath(path, 1024);
    }
    void TearDown() override {
        releasePath(path);
        sim::resetMachine();
    }

    struct Result {
        int32_t length;
        std::string path;
        std::string tail;  // "(none)" when there is no tail
        int32_t alias;
    };

    Result resolve(const std::string& argument, bool bothKindsWalk = false) {
        char* tail = nullptr;
        int32_t alias = 0;
        int32_t length = resolveSource(argument.c_str(), path, &tail, &alias, bothKindsWalk,
                                       true, true);
        Result result{length, length >= 0 ? path.text : "", tail ? tail : "(none)", alias};
        os::release(tail);
        return result;
    }

    PathBuffer path;
};

TEST_F(Resolution, DirectoriesDrivesPatternsAndFiles) {
    const struct {
        const char* argument;
        int32_t length;
        const char* path;
        const char* tail;
    } cases[] = {
        {"C:\\data", 8, "C:\\data\\", "(none)"}, {"C:\\", 3, "C:\\", "(none)"}, {"C:", 2, "C:", "(none)"},
        {"C:\\data\\*.txt", 8, "C:\\data\\", "*.txt"}, {"C:\\data\\*.*", 8, "C:\\data\\", "(none)"},
        {"C:*.txt", 2, "C:", "*.txt"}, {"*.txt", 0, "", "*.txt"},
        {"C:\\data\\a.txt", 8, "C:\\data\\", "a.txt"},
        {"\\\\server\\share\\dir", 19, "\\\\server\\share\\dir\\", "(none)"},
    };
    for (const auto& c : cases) {
        Result r = resolve(c.argument);
        EXPECT_EQ(r.length, c.length) << c.argument;
        EXPECT_EQ(r.path, c.path) << c.argument;
        EXPECT_EQ(r.tail, c.tail) << c.argument;
    }
}

TEST_F(Resolution, FailuresAnswerTheirCodes) {
    EXPECT_EQ(resolve("\\\\server").length, -2);
    EXPECT_EQ(resolve("C:\\data\\a.txt", true).length, -3);   // a plain name must be a directory
    EXPECT_EQ(resolve("C:\\nodir\\a.txt", true).length, -3);  // its directory is missing
    EXPECT_EQ(resolve("C:\\data\\*.txt", true).length, 8);
}

TEST_F(Resolution, DirectoryEndingInASecondByteBackslashGetsASeparatorAndAliasTailsAreMarked) {
    Result r = resolve("C:\\data\\" + HYOU);
    EXPECT_EQ(r.path, "C:\\data\\" + HYOU + "\\");
    EXPECT_EQ(r.length, 11);
    EXPECT_EQ(resolve("C:\\data\\ABCDEF~1.TXT").alias, 1);
    EXPECT_EQ(resolve("C:\\data\\a.txt").alias, 0);
}

TEST_F(Resolution, LongArgumentsGrowThePathBuffer) {
    std::string longDir = "C:\\" + std::string(1500, 'd');
    sim::addDirectory(longDir);
    Result r = resolve(longDir + "\\*.txt");
    EXPECT_EQ(r.length, 1504);
    EXPECT_EQ(r.path, longDir + "\\");
}

TEST_F(Resolution, PathKinds) {
    EXPECT_EQ(pathKind("C:\\data\\"), 1);
    EXPECT_EQ(pathKind("C:\\data\\a.txt"), 2);
    EXPECT_EQ(pathKind("C:\\data\\missing"), 0);
    EXPECT_EQ(pathKind("Q:\\anything"), 3);  // no such volume
    EXPECT_EQ(pathKind("\\\\server\\share\\dir"), 1);
}

TEST(VolumeRoots, CutToDriveOrShare) {
    const struct {
        const char* path;
        const char* root;
    } cases[] = {
        {"C:\\a\\b\\", "C:\\"},
        {"\\\\srv\\share\\rest\\x", "\\\\srv\\share\\"}, {"\\\\srv\\share", "\\\\srv\\share\\"},
        {"\\\\srv", "\\\\srv"}, {"relative", "relative"},
    };
    for (const auto& c : cases) {
        char text[64];
        std::snprintf(text, sizeof text, "%s", c.path);
        volumeRootOf(text);
        EXPECT_STREQ(text, c.root) << c.path;
    }
}

}  // namespace
