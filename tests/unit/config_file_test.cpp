#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "options/config_file.h"
#include "platform/platform.h"
#ifndef _WIN32
#include "platform/sim/machine.h"
#endif

namespace {

using Answers = std::vector<std::string>;

// The reader's answers, each "L<content>|<end>", "E" or "B"; bytes past the buffer are
// guarded.
Answers readAll(const std::string& bytes, bool blanksOnly = false) {
    FILE* file = std::tmpfile();
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::rewind(file);
    std::vector<char> line(CONFIG_LINE_LIMIT + 1 + 16, '\x55');
    static const char* const ends[] = {"-", "LF", "CRLF", "CR"};
    Answers answers;
    for (int k = 0; k < 20; ++k) {
        LineEnd end;
        ConfigRead read = readConfigLine(line.data(), file, &end, blanksOnly);
        answers.push_back(read == CONFIG_END      ? "E"
                          : read == CONFIG_BINARY ? "B"
                                                  : "L" + std::string(line.data()) + "|" + ends[end]);
        if (read != CONFIG_LINE) break;
    }
    std::fclose(file);
    for (size_t k = CONFIG_LINE_LIMIT + 1; k < line.size(); ++k) EXPECT_EQ(line[k], '\x55');
    return answers;
}

TEST(ReadConfigLine, EndsCommentsCtrlZAndBinaryBytes) {
    const struct {
        const char* bytes;
        Answers answers;
    } cases[] = {
        {"a\r\nb", {"La|CRLF", "Lb|-", "E"}}, {"\r\r\n\n", {"L|CR", "L|CRLF", "L|LF", "E"}},
        {"  /d/c   # comment\n", {"L/d/c|LF", "E"}}, {"x;y\n", {"Lx|LF", "E"}},
        {"\t\v/a b \t\f\n", {"L/a b|LF", "E"}}, {"   ", {"E"}},
        {"\x81\x40\x07\x80\xfe\n", {"L\x81\x40\x07\x80\xfe|LF", "E"}},
        // Ctrl-Z only as the very last byte; forbidden bytes count even in a comment.
        {"a\x1a", {"La|-", "E"}}, {"a\x1a\n", {"B"}}, {"/a\x01" "b\n", {"B"}},
        {"/a #\x7f\n", {"B"}}, {"/a #\xff\n", {"B"}},
    };
    for (const auto& c : cases) EXPECT_EQ(readAll(c.bytes), c.answers) << c.bytes;
    EXPECT_EQ(readAll("/a\t  \n", true), (Answers{"L/a\t|LF", "E"}));
}

// Regression: a long line is cut at the buffer size, and the next line is read whole.
TEST(ReadConfigLine, LongLineIsCutAndTheNextLineReadWhole) {
    Answers answers = readAll(std::string(CONFIG_LINE_LIMIT + 60, 'x') + "\n/d\n");
    EXPECT_EQ(answers, (Answers{"L" + std::string(CONFIG_LINE_LIMIT, 'x') + "|LF", "L/d|LF", "E"}));
}

#ifndef _WIN32  // the simulated machine: host builds only
std::string expand(const std::string& text) {
    std::vector<char> line(CONFIG_LINE_LIMIT + 1 + 16, '\x55');
    std::memcpy(line.data(), text.c_str(), text.size() + 1);
    std::vector<char> name(CONFIG_NAME_LIMIT + 1);
    expandEnvironmentRefs(line.data(), name.data());
    for (size_t k = CONFIG_LINE_LIMIT + 1; k < line.size(); ++k) EXPECT_EQ(line[k], '\x55');
    return line.data();
}

TEST(ExpandEnvironmentRefs, ReplacesRemovesKeepsAndCutsGrowth) {
    sim::resetMachine();
    sim::machine().environment = {{"Temp", "C:\\tmp"}, {"LOOP", "%TEMP%"}, {"BIG", std::string(6000, 'v')}};
    const std::pair<std::string, std::string> cases[] = {
        {"/a%temp%%MISSING%b%c", "/aC:\\tmpb%c"},
        {"%LOOP%", "%TEMP%"},  // an inserted value is not expanded again
        {std::string(5000, 'a') + "%BIG%" + std::string(100, 'z'),
         std::string(5000, 'a') + std::string(CONFIG_LINE_LIMIT - 5000, 'v')},
        {std::string(4000, 'a') + "%BIG%" + std::string(1000, 'z'),
         std::string(4000, 'a') + std::string(6000, 'v') + std::string(240, 'z')},
    };
    for (const auto& [text, expanded] : cases) EXPECT_EQ(expand(text), expanded) << text.substr(0, 40);
}
#endif

// A dot in a directory is no extension.
TEST(ConfigFilePath, ReplacesTheLastComponentsExtension) {
    char* path = configFilePath("C:\\a.b\\morvi");
    ASSERT_NE(path, nullptr);
    EXPECT_STREQ(path, "C:\\a.b\\morvi.cfg");
    os::release(path);
}

}  // namespace
