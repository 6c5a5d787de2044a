#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "options/config_file.h"
#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace {

FILE* fileWith(const std::string& bytes) {
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    return file;
}

// One answer of the reader, written as "L<content>|<end>", "E" or "B".
std::string describe(ConfigRead read, const char* line, LineEnd end) {
    if (read == CONFIG_END) return "E";
    if (read == CONFIG_BINARY) return std::string("B") + line;
    static const char* const ends[] = {"-", "LF", "CRLF", "CR"};
    return "L" + std::string(line) + "|" + ends[end];
}

std::vector<std::string> readAll(const std::string& bytes, bool blanksOnly = false) {
    FILE* file = fileWith(bytes);
    std::vector<char> line(CONFIG_LINE_LIMIT + 1);
    std::vector<std::string> answers;
    for (int k = 0; k < 20; ++k) {
        LineEnd end;
        ConfigRead read = readConfigLine(line.data(), file, &end, blanksOnly);
        answers.push_back(describe(read, line.data(), end));
        if (read != CONFIG_LINE) break;
    }
    std::fclose(file);
    return answers;
}

using Answers = std::vector<std::string>;

TEST(ReadConfigLine, LineEndsAndTheLastLine) {
    struct Case {
        const char* bytes;
        Answers answers;
    } cases[] = {
        {"a\nb\n", {"La|LF", "Lb|LF", "E"}},    {"a\r\nb", {"La|CRLF", "Lb|-", "E"}},
        {"a\rb\r", {"La|CR", "Lb|CR", "E"}},    {"\r\r\n\n", {"L|CR", "L|CRLF", "L|LF", "E"}},
        {"", {"E"}},                          {"   ", {"E"}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes), c.answers) << c.bytes;
}

TEST(ReadConfigLine, ContentCommentsAndWhiteSpace) {
    struct Case {
        const char* bytes;
        Answers answers;
    } cases[] = {
        {"  /d/c   # comment\n", {"L/d/c|LF", "E"}}, {"x;y\n", {"Lx|LF", "E"}},
        {"\t\v/a b \t\f\n", {"L/a b|LF", "E"}},      {"a\x1b\tb\n", {"La\x1b\tb|LF", "E"}},
        {"\x81\x40\x07\x80\xfe\n", {"L\x81\x40\x07\x80\xfe|LF", "E"}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes), c.answers) << c.bytes;
    EXPECT_EQ(readAll("/a\t  \n", true), (Answers{"L/a\t|LF", "E"}));
}

TEST(ReadConfigLine, CtrlZOnlyAsTheVeryLastByte) {
    struct Case {
        const char* bytes;
        Answers answers;
    } cases[] = {
        {"a\n\x1a", {"La|LF", "E"}}, {"a\x1a", {"La|-", "E"}}, {"\x1a", {"E"}},
        {"a\x1a\n", {"B"}},           {"a # \x1a\x1a", {"B"}},
    };
    for (const Case& c : cases) EXPECT_EQ(readAll(c.bytes), c.answers) << c.bytes;
}

TEST(ReadConfigLine, EveryForbiddenByteIsBinaryEvenInAComment) {
    for (int byte = 1; byte < 256; ++byte) {
        bool forbidden = (byte <= 0x06) || (byte >= 0x0E && byte <= 0x1A) ||
                         (byte >= 0x1C && byte <= 0x1F) || byte == 0x7F || byte == 0xFF;
        std::string inContent = std::string("/a") + static_cast<char>(byte) + "b\nnext\n";
        std::string inComment = std::string("/a #") + static_cast<char>(byte) + "\nnext\n";
        for (const std::string& bytes : {inContent, inComment}) {
            Answers answers = readAll(bytes);
            if (forbidden)
                EXPECT_EQ(answers, Answers{"B"}) << byte;
            else
                EXPECT_EQ(answers.back(), "E") << byte;
        }
    }
}

TEST(ReadConfigLine, LongLineIsCutAndTheNextLineReadWhole) {
    std::string bytes = std::string(CONFIG_LINE_LIMIT + 60, 'x') + "\n/d\n";
    Answers answers = readAll(bytes);
    ASSERT_EQ(answers.size(), 3u);
    EXPECT_EQ(answers[0], "L" + std::string(CONFIG_LINE_LIMIT, 'x') + "|LF");
    EXPECT_EQ(answers[1], "L/d|LF");
}

class ExpandTest : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::machine().environment = {{"Temp", "C:\\tmp"}, {"LOOP", "%TEMP%"}, {"E", ""}};
    }
    std::string expand(const std::string& text, int32_t nameLimit = CONFIG_NAME_LIMIT) {
        std::vector<char> line(CONFIG_LINE_LIMIT + 1 + 16, '\x55');
        std::memcpy(line.data(), text.c_str(), text.size() + 1);
        std::vector<char> name(nameLimit + 1);
        expandEnvironmentRefs(line.data(), name.data(), nameLimit);
        for (size_t k = CONFIG_LINE_LIMIT + 1; k < line.size(); ++k) EXPECT_EQ(line[k], '\x55');
        return line.data();
    }
};

TEST_F(ExpandTest, ReplacesRemovesAndKeeps) {
    struct Case {
        const char* text;
        const char* expanded;
    } cases[] = {
        {"/log%temp%\\run.log", "/logC:\\tmp\\run.log"}, {"/log%MISSING%\\run.log", "/log\\run.log"},
        {"/a%E%b", "/ab"},                           {"%TEMP%%TEMP%", "C:\\tmpC:\\tmp"},
        {"%LOOP%", "%TEMP%"},  // an inserted value is not expanded again
        {"/a%TEMP%b%c", "/aC:\\tmpb%c"},
    };
    for (const Case& c : cases) EXPECT_EQ(expand(c.text), c.expanded) << c.text;
}

TEST_F(ExpandTest, GrowthIsCutAtTheBufferSize) {
    sim::machine().environment = {{"BIG", std::string(6000, 'v')}};
    std::string text = std::string(5000, 'a') + "%BIG%" + std::string(100, 'z');
    std::string expanded = expand(text);
    EXPECT_EQ(expanded, std::string(5000, 'a') + std::string(CONFIG_LINE_LIMIT - 5000, 'v'));
    text = std::string(4000, 'a') + "%BIG%" + std::string(1000, 'z');
    EXPECT_EQ(expand(text),
              std::string(4000, 'a') + std::string(6000, 'v') + std::string(240, 'z'));
}

TEST(ConfigFilePath, ReplacesTheLastComponentsExtension) {
    struct Case {
        const char* executable;
        const char* config;
    } cases[] = {
        {"C:\\a.b\\morvi", "C:\\a.b\\morvi.cfg"},
        {"C:\\x\\m.v.exe", "C:\\x\\m.v.cfg"},
        {"C:\\x\\a.表", "C:\\x\\a.cfg"},  // 表 ends in the byte of a backslash
    };
    for (const Case& c : cases) {
        char* path = configFilePath(c.executable);
        ASSERT_NE(path, nullptr);
        EXPECT_STREQ(path, c.config);
        os::release(path);
    }
}

TEST(FindExecutablePath, SpellsTheNameAsTheDirectoryEntryDoes) {
    sim::resetMachine();
    sim::machine().modulePath = "C:\\TOOLS\\MORVI.EXE";
    sim::find("C:\\tools\\morvi.exe")->name = "Morvi.Exe";
    char* path = findExecutablePath();
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "C:\\TOOLS\\Morvi.Exe");
    os::release(path);

    sim::machine().modulePath = "C:\\tools\\missing.exe";
    EXPECT_EQ(findExecutablePath(), nullptr);
    sim::machine().modulePath = "";
    EXPECT_EQ(findExecutablePath(), nullptr);
}

// Any byte sequence is read or rejected, never written past the line buffer, never looped on.
TEST(ReadConfigLine, RandomBytesNeverOverflowOrHang) {
    std::mt19937 random(12345);
    const char alphabet[] = "\r\n\x1a#; \t%ab/\x81\x5c";
    std::vector<char> line(CONFIG_LINE_LIMIT + 1 + 64, '\x55');
    std::vector<char> name(CONFIG_NAME_LIMIT, '\0');
    sim::resetMachine();
    sim::machine().environment = {{"a", "%b%"}, {"B", std::string(3000, 'v')}};
    for (int round = 0; round < 1500; ++round) {
        std::string bytes;
        size_t length = random() % (round % 100 == 0 ? 30000 : 200);
        for (size_t k = 0; k < length; ++k)
            bytes += random() % 4 ? alphabet[random() % (sizeof(alphabet) - 1)]
                                  : static_cast<char>(random());
        FILE* file = fileWith(bytes);
        size_t reads = 0;
        for (;;) {
            LineEnd end;
            ConfigRead read = readConfigLine(line.data(), file, &end);
            ASSERT_LE(++reads, bytes.size() + 1);
            if (read != CONFIG_LINE) break;
            ASSERT_LE(std::strlen(line.data()), static_cast<size_t>(CONFIG_LINE_LIMIT));
            ASSERT_EQ(std::strpbrk(line.data(), "\r\n#;"), nullptr);
            expandEnvironmentRefs(line.data(), name.data());
            ASSERT_LE(std::strlen(line.data()), static_cast<size_t>(CONFIG_LINE_LIMIT));
        }
        std::fclose(file);
        for (size_t k = CONFIG_LINE_LIMIT + 1; k < line.size(); ++k) ASSERT_EQ(line[k], '\x55');
    }
}

}  // namespace
