#include "support/wine_run.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace e2e {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

static std::string prefixDir() { return std::string(MORVI_SOURCE_DIR) + "/build/wineprefix"; }

// Runs a host command with standard input empty and both outputs captured.
static WineRun runCommand(std::vector<std::string> command) {
    TempDir scratch;
    std::string outFile = scratch.host("out"), errFile = scratch.host("err");
    pid_t child = fork();
    if (child == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        std::vector<char*> argv;
        for (auto& text : command) argv.push_back(text.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    WineRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    run.out = readFile(outFile);
    run.err = readFile(errFile);
    return run;
}

WineRun runMorvi(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{std::string(MORVI_SOURCE_DIR) + "/scripts/morvi"};
    for (const auto& argument : arguments) command.push_back(utf8(argument));
    return runCommand(command);
}

const std::string& morviExe() {
    static const std::string path = [] {
        WineRun where =
            runCommand({"/bin/bash", "-c", ". \"$0/scripts/wine-env\" && printf %s \"$MORVI_EXE\"", MORVI_SOURCE_DIR});
        std::string windows = "Z:" + where.out;
        for (char& byte : windows) {
            if (byte == '/') byte = '\\';
        }
        return windows;
    }();
    return path;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "morvi-e2e-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TempDir::file(const std::string& relative, const std::string& contents) const {
    fs::path full = fs::path(path_) / utf8(relative);
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << contents;
    setWriteTime(relative, FIXED_WRITE_TIME);
}

void TempDir::setWriteTime(const std::string& relative, std::time_t time) const {
    struct timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, (fs::path(path_) / utf8(relative)).c_str(), times, 0);
}

void TempDir::dir(const std::string& relative) const {
    fs::create_directories(fs::path(path_) / utf8(relative));
}

void mapDrive(char letter, const std::string& hostDir) {
    std::string link = prefixDir() + "/dosdevices/" + std::string(1, static_cast<char>(letter | 0x20)) + ":";
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::create_directory_symlink(hostDir, link);
}

std::string utf8(const std::string& cp932) {
    iconv_t convert = iconv_open("UTF-8", "CP932");
    std::string out(cp932.size() * 3 + 1, '\0');
    char* in = const_cast<char*>(cp932.data());
    size_t inLeft = cp932.size(), outLeft = out.size();
    char* target = out.data();
    while (inLeft > 0 && iconv(convert, &in, &inLeft, &target, &outLeft) == static_cast<size_t>(-1)) {
        *target++ = '?';
        --outLeft;
        ++in;
        --inLeft;
    }
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

std::string lines(const std::vector<std::string>& each) {
    std::string all;
    for (const auto& line : each) all += line + "\r\n";
    return all;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> all;
    size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        all.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (start < text.size()) all.push_back("unterminated: " + text.substr(start));
    return all;
}

std::string joined(const std::vector<std::string>& each) {
    std::string text;
    for (const auto& line : each) text += utf8(line) + "\n";
    return text;
}

}  // namespace e2e
