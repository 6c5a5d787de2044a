// The program on Wine's console, read from a tmux pane of 80 by 25: what a user sees.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "support/wine_run.h"

namespace {

bool tmuxInstalled() { return std::system("command -v tmux >/dev/null 2>&1") == 0; }

// A tmux server of its own, so that no other session is touched; the command's exit code
// shows on the pane when it ends.
class Pane {
public:
    explicit Pane(const std::string& morviArguments) {
        std::FILE* script = std::fopen(scratch_.host("run").c_str(), "w");
        std::fprintf(script, ". '%s/scripts/wine-env'\n\"$MORVI_WINE\" \"$MORVI_EXE\" %s\necho exit=$?\nsleep 600\n",
                     MORVI_SOURCE_DIR, morviArguments.c_str());
        std::fclose(script);
        tmux("new-session -d -x 80 -y 25 'bash " + scratch_.host("run") + "'");
    }
    ~Pane() { tmux("kill-server"); }

    // The pane's text once it shows part, or what it shows when the program ended or the
    // time is up.
    std::string waitFor(const std::string& part, int seconds = 30) {
        std::string shown;
        for (auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
             std::chrono::steady_clock::now() < end; std::this_thread::sleep_for(std::chrono::milliseconds(100))) {
            shown = capture();
            if (shown.find(part) != std::string::npos || shown.find("exit=") != std::string::npos) break;
        }
        return shown;
    }
    // The prompt discards what was typed before it reads: a key that changed nothing was
    // typed too early, and is typed again.
    std::string answer(char key, const std::string& part) {
        std::string shown;
        for (int tries = 0; tries < 4; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            tmux(std::string("send-keys ") + key);
            shown = waitFor(part, 5);
            if (shown.find(part) != std::string::npos) break;
        }
        return shown;
    }

private:
    // A server each, its socket removed with the folder: a new server on an old socket may
    // meet the old one still going.
    e2e::TempDir scratch_;
    std::string server_ = "-S " + scratch_.host("tmux");

    int tmux(const std::string& arguments) {
        return std::system(("LC_ALL=C.UTF-8 tmux " + server_ + " " + arguments + " >/dev/null 2>&1").c_str());
    }
    std::string capture() {
        std::string text;
        FILE* pipe = popen(("LC_ALL=C.UTF-8 tmux " + server_ + " capture-pane -p 2>/dev/null").c_str(), "r");
        if (pipe == nullptr) return text;
        char chunk[4096];
        for (size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) text.append(chunk, got);
        pclose(pipe);
        return text;
    }
};

size_t count(const std::string& text, const std::string& part) {
    size_t found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

class Console : public ::testing::Test {
protected:
    void SetUp() override {
        if (!tmuxInstalled()) GTEST_SKIP() << "tmux is not installed: no console to read the screen of";
    }
};

// Literals here are the program's text; the pane's are UTF-8.
std::string shown(const std::string& text) { return e2e::utf8(text); }

TEST_F(Console, ShowsJapaneseAndNamesAsTheyAre) {
    const e2e::Trees trees;
    for (const char* name : {"表ソ.txt", "ポ.txt", "caf<U+00E9>.txt", "サブ/十.txt"})
        trees.both(name, "same", std::string(name) == "サブ/十.txt" ? "diff" : "same");
    Pane pane("/d /c 'S:\\' 'T:\\'");
    const std::string screen = pane.waitFor("exit=");
    for (const char* line : {"S:\\表ソ.txt＝T:\\表ソ.txt\n", "S:\\ポ.txt＝T:\\ポ.txt\n", "S:\\caf<U+00E9>.txt＝T:\\caf<U+00E9>.txt\n",
                             "内容不一致 S:\\サブ\\十.txt≠T:\\サブ\\十.txt\n",
                             "\nファイル4個（16バイト）中、1個不一致（4バイト）\nディレクトリ1個中、0個不一致\nexit=2\n"})
        EXPECT_NE(screen.find(shown(line)), std::string::npos) << shown(line) << "\nin:\n" << screen;
}

TEST_F(Console, PagingPromptsAndAnswersContinueAllAndQuit) {
    const e2e::Trees trees;
    for (int k = 1; k <= 60; ++k) {
        char name[16];
        std::snprintf(name, sizeof name, "表%02d.txt", k);
        trees.both(name, "same");
    }
    const std::string prompt = "(Continue,/All/Quit)";
    {
        Pane pane("/p 'S:\\' 'T:\\'");
        std::string screen = pane.waitFor(prompt);
        EXPECT_NE(screen.find(shown("S:\\表23.txt＝T:\\表23.txt\n" + prompt)), std::string::npos) << screen;
        screen = pane.answer('c', shown("表47.txt＝T:\\表47.txt\n") + prompt);
        EXPECT_EQ(count(screen, prompt), 1u) << "the first prompt is erased:\n" << screen;
        EXPECT_NE(screen.find(shown("S:\\表24.txt＝T:\\表24.txt\n")), std::string::npos) << screen;
        screen = pane.answer('a', "exit=");
        EXPECT_NE(screen.find(shown("\n全ファイル（60個, 240バイト）、全ディレクトリ（0個）一致\nexit=0\n")),
                  std::string::npos) << screen;
        EXPECT_EQ(count(screen, prompt), 0u) << screen;
    }
    Pane pane("/p 'S:\\' 'T:\\'");
    pane.waitFor(prompt);
    const std::string screen = pane.answer('q', "exit=");
    EXPECT_NE(screen.find(shown("S:\\表23.txt＝T:\\表23.txt\nexit=1\n")), std::string::npos) << screen;
}

}  // namespace
