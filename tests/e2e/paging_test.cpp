// Paging in a real console: morvi.exe under Wine inside a tmux window of 25 rows.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

#include "support/wine_run.h"

namespace {

const char* const SESSION = "morvi-e2e-paging";

std::string shell(const std::string& command) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return output;
    char chunk[4096];
    size_t count;
    while ((count = fread(chunk, 1, sizeof chunk, pipe)) > 0) output.append(chunk, count);
    pclose(pipe);
    return output;
}

std::string screen() { return shell(std::string("tmux capture-pane -p -t ") + SESSION + " 2>/dev/null"); }

bool waitFor(const std::function<bool()>& condition, int seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return false;
}

class Paging : public ::testing::Test {
protected:
    void SetUp() override {
        for (int k = 0; k < 100; ++k) {
            std::string name = "file" + std::to_string(k) + ".txt";
            source.file(name, "line " + std::to_string(k) + "\n");
            dest.file(name, "line " + std::to_string(k) + "\n");
        }
        e2e::mapDrive('s', source.path());
        e2e::mapDrive('t', dest.path());
        exitFile = scratch.host("exit");
    }
    void TearDown() override { shell(std::string("tmux kill-session -t ") + SESSION + " 2>/dev/null"); }

    // Starts morvi /p in a 80x25 tmux window; its exit code lands in exitFile.
    void start() {
        std::string script = std::string(MORVI_SOURCE_DIR) + "/scripts/morvi";
        std::string command = "tmux -u new-session -d -x 80 -y 25 -s " + std::string(SESSION) + " \"" +
                              script + " /p 'S:\\' 'T:\\'; echo \\$? > " + exitFile + "; sleep 30\"";
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    int exitCode() {
        int code = -1;
        waitFor([&] { return std::ifstream(exitFile).good() && !shell("cat " + exitFile).empty(); }, 60);
        std::ifstream(exitFile) >> code;
        return code;
    }

    void press(const char* key) {
        shell(std::string("tmux send-keys -t ") + SESSION + " " + key);
    }

    e2e::TempDir source, dest, scratch;
    std::string exitFile;
};

TEST_F(Paging, QuitAtThePromptEndsWithExitCodeOne) {
    start();
    ASSERT_TRUE(waitFor([] { return screen().find("(Continue,/All/Quit)") != std::string::npos; }, 60))
        << screen();
    EXPECT_EQ(screen().find(e2e::utf8("一致")), std::string::npos);  // no summary yet
    press("q");
    EXPECT_EQ(exitCode(), 1);
    EXPECT_EQ(screen().find(e2e::utf8("全ファイル")), std::string::npos) << screen();
}

TEST_F(Paging, AllShowsTheRestWithoutPrompts) {
    start();
    ASSERT_TRUE(waitFor([] { return screen().find("(Continue,/All/Quit)") != std::string::npos; }, 60))
        << screen();
    press("a");
    EXPECT_EQ(exitCode(), 0);
    EXPECT_EQ(screen().find("(Continue,/All/Quit)"), std::string::npos) << screen();
}

}  // namespace
