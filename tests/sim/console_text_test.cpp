#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/machine.h"
#include "support/child_run.h"

namespace {

// Second bytes 0x5C, 0x7C and letters, and a name that code page 932 cannot write.
const char* const NAMES[] = {"表ソ.txt", "ポ.txt", "アイ.txt", "caf<U+00E9>.txt"};
const std::u16string SHOWN[] = {u"表ソ.txt", u"ポ.txt", u"アイ.txt", u"café.txt"};

class ConsoleText : public ::testing::Test {
protected:
    void SetUp() override {
        sim::resetMachine();
        sim::addVolume("D:\\");
        for (const char* name : NAMES) {
            sim::addFile(std::string("C:\\src\\") + name, "same");
            sim::addFile(std::string("D:\\dst\\") + name, "diff");
        }
    }
    static support::RunOutput run() { return support::runProgram({"/c", "C:\\src", "D:\\dst"}); }
    static void console(uint32_t codePage) {
        sim::machine().console = sim::machine().errorConsole = true;
        sim::machine().consoleCodePage = codePage;
    }
};

bool shows(const std::u16string& screen, const std::u16string& part) {
    return screen.find(part) != std::u16string::npos;
}

TEST_F(ConsoleText, EveryCodePageShowsTheSameJapaneseAndNames) {
    support::RunOutput redirected = run();
    EXPECT_EQ(redirected.calls("console writes"), 0);
    EXPECT_EQ(redirected.screen, u"");
    EXPECT_NE(redirected.out.find("内容不一致 C:\\src\\caf<U+00E9>.txt≠D:\\dst\\caf<U+00E9>.txt\n"),
              std::string::npos);

    std::u16string first;
    for (uint32_t codePage : {932u, 437u, 65001u}) {
        SCOPED_TRACE(codePage);
        console(codePage);
        support::RunOutput shown = run();
        EXPECT_EQ(shown.exitCode, 2);
        for (const std::u16string& name : SHOWN)
            EXPECT_TRUE(shows(shown.screen, u"内容不一致 C:\\src\\" + name + u"≠D:\\dst\\" + name + u"\n"));
        EXPECT_TRUE(shows(shown.screen, u"\n\nファイル4個（16バイト）中、4個不一致（16バイト）\nディレクトリ0個中、0個不一致\n"));
        EXPECT_FALSE(shows(shown.screen, u"<U+"));
        EXPECT_FALSE(shows(shown.screen, u"\uFFFD"));
        if (first.empty()) first = shown.screen;
        EXPECT_EQ(shown.screen, first);
    }
}

// Bytes as ever: the console of another code page then shows them garbled, as before.
TEST_F(ConsoleText, Windows9xAndARefusedWideCallWriteTheBytes) {
    console(932);
    const std::string wide = run().out;
    struct Row {
        const char* what;
        bool windows9x;
        long failAt;
        long wideCalls;
    } rows[] = {{"9x", true, 0, 0}, {"first refused", false, 1, 1}, {"third refused", false, 3, 3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        sim::resetMachine();
        SetUp();
        console(437);
        if (row.windows9x) sim::machine().version = {true, 1, 4, 10};
        sim::machine().consoleWrites = {0, row.failAt, false};
        support::RunOutput shown = run();
        EXPECT_EQ(shown.calls("console writes"), row.wideCalls);  // a refusal is not asked again
        if (row.windows9x)  // which cannot name café
            EXPECT_NE(shown.out.find("\r内容不一致 C:\\src\\表ソ.txt≠D:\\dst\\表ソ.txt\n"), std::string::npos);
        else
            EXPECT_EQ(shown.out, wide);
        EXPECT_TRUE(shows(shown.screen, u"\uFFFD"));
        EXPECT_FALSE(shows(shown.screen, u"全ファイル"));
    }
}

// Standard output to a file keeps its bytes while error messages reach the console.
TEST_F(ConsoleText, RedirectedOutputBesideAConsoleForErrors) {
    sim::machine().errorConsole = true;
    sim::machine().consoleCodePage = 437;
    support::RunOutput shown = support::runProgram({"/c", "C:\\src\\表ソ.txt", "E:\\"});
    EXPECT_EQ(shown.exitCode, 1);
    EXPECT_EQ(shown.screen, u"\n\a処理停止:照合先ドライブにアクセス出来ません。\n");
    EXPECT_EQ(shown.err, "\n\a処理停止:照合先ドライブにアクセス出来ません。\n");
}

using os::StandardStream;
using Writes = std::vector<std::pair<StandardStream, std::string>>;

// Makes the writes on a machine whose two streams are consoles: what standard output
// received, and the screen.
std::pair<std::string, std::u16string> written(const Writes& writes, long wideFailsAt = 0) {
    sim::resetMachine();
    sim::machine().console = sim::machine().errorConsole = true;
    sim::machine().consoleWrites = {0, wideFailsAt, false};
    const std::string SCREEN = "\n--screen--\n";
    std::string out = support::runInChild([&] {
        for (const auto& write : writes) os::printStandard(write.first, "%s", write.second.c_str());
        os::finishStandardStreams();
        const std::u16string& screen = sim::machine().screen;
        std::fwrite(SCREEN.data(), 1, SCREEN.size(), stdout);
        std::fwrite(screen.data(), sizeof(char16_t), screen.size(), stdout);
    }).out;
    const size_t at = out.find(SCREEN);
    if (at == std::string::npos) return {out, u"?"};
    const std::string screen = out.substr(at + SCREEN.size());
    return {out.substr(0, at), std::u16string(reinterpret_cast<const char16_t*>(screen.data()), screen.size() / 2)};
}

// Writes that cut a character after its first byte, and texts that are no characters.
TEST(ConsoleWrites, LeadBytesWaitForTheirTrailBytes) {
    const StandardStream OUT = StandardStream::output, ERR = StandardStream::error;
    const struct {
        const char* what;
        Writes writes;
        std::u16string screen;
    } rows[] = {
        {"second byte 0x5C", {{OUT, "a\x95"}, {OUT, "\\b"}}, u"a表b"},
        {"second byte 0x7C", {{OUT, "\x83"}, {OUT, "|"}}, u"ポ"},
        {"letters", {{OUT, "\x83"}, {OUT, "A\x83"}, {OUT, "C"}}, u"アイ"},
        {"an empty write between", {{OUT, "\x95"}, {OUT, ""}, {OUT, "\\"}}, u"表"},
        {"the other stream between", {{OUT, "\x95"}, {ERR, "e\x83"}, {OUT, "\\"}, {ERR, "|"}}, u"e表ポ"},
        {"no trail byte follows", {{OUT, "\x95"}, {OUT, "\n"}}, u"\uFFFD\n"},
        {"none ever follows", {{OUT, "x\x95"}}, u"x\uFFFD"},
        {"a pair the code page leaves empty", {{OUT, "[\x85\x40]"}}, u"[\uFFFD]"},
        {"escapes, and what only looks like one", {{OUT, "<U+1F600><U+003C><U+00e9>"}}, u"\U0001F600<<U+00e9>"},
        {"nothing", {{OUT, ""}}, u""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(written(row.writes).second, row.screen);
    }
}

// Around the first buffer's 2048 bytes, terminator included: a longer text is shown whole.
TEST(ConsoleWrites, TextsOfAnyLengthShowWhole) {
    for (size_t length : {2047u, 2048u, 2049u, 70000u}) {
        SCOPED_TRACE(length);
        const std::string text = std::string(length - 2, 'x') + "表";
        EXPECT_EQ(written({{StandardStream::output, text}}).second, std::u16string(length - 2, u'x') + u"表");
    }
}

// The carried byte is not lost when the wide call is refused behind it.
TEST(ConsoleWrites, ARefusedWideCallWritesTheCarriedByte) {
    const StandardStream OUT = StandardStream::output;
    auto result = written({{OUT, "a\x95"}, {OUT, "\\b\x83"}, {OUT, "|"}}, 2);
    EXPECT_EQ(result.first, "a表bポ");
    EXPECT_EQ(result.second, u"a\uFFFD\\b\uFFFD|");  // the sim shows bytes in code page 932
}

}  // namespace
