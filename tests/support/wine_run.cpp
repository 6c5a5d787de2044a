#include "support/wine_run.h"

#include <fcntl.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace e2e {

namespace fs = std::filesystem;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

static std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char byte : text) out += byte == '\'' ? std::string("'\\''") : std::string(1, byte);
    return out + "'";
}

// Runs a shell command with standard input empty and both outputs captured.
static WineRun runCommand(const std::string& command) {
    TempDir scratch;
    int status = std::system((command + " </dev/null >" + scratch.host("out") + " 2>" + scratch.host("err")).c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), readFile(scratch.host("out")),
            readFile(scratch.host("err"))};
}

// Under the locale that gives Wine's programs their ANSI code page (scripts/wine-env).
static WineRun runInLocale(const std::string& locale, const std::string& hostProgram,
                           const std::vector<std::string>& arguments, int timeLimit) {
    std::string command = "MORVI_LOCALE=" + quoted(locale) + " ";
    if (timeLimit > 0) command += "timeout -k 5 " + std::to_string(timeLimit) + " ";
    command += "bash -c '. \"$0/scripts/wine-env\" && exec \"$MORVI_WINE\" \"$@\"' " +
               quoted(MORVI_SOURCE_DIR) + " " + quoted(hostProgram);
    for (const auto& argument : arguments) command += " " + quoted(utf8(argument));
    return runCommand(command);
}

WineRun runWindowsProgram(const std::string& hostProgram, const std::vector<std::string>& arguments,
                          int timeLimit) {
    return runInLocale("ja_JP.UTF-8", hostProgram, arguments, timeLimit);
}

WineRun runMorvi(const std::vector<std::string>& arguments, int timeLimit) {
    return runWindowsProgram(morviHostPath(), arguments, timeLimit);
}

WineRun runMorviInLocale(const std::vector<std::string>& arguments, const std::string& locale) {
    return runInLocale(locale, morviHostPath(), arguments, 0);
}

const std::string& morviHostPath() {
    static const std::string path =
        runCommand("bash -c '. \"$0/scripts/wine-env\" && printf %s \"$MORVI_EXE\"' " + quoted(MORVI_SOURCE_DIR)).out;
    return path;
}

const std::string& morviExe() {
    static const std::string path = [] {
        std::string windows = "Z:" + morviHostPath();
        for (char& byte : windows)
            if (byte == '/') byte = '\\';
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

void TempDir::file(const std::string& relative, const std::string& contents, std::time_t time) const {
    fs::path full = host(relative);
    fs::create_directories(full.parent_path());
    std::ofstream(full, std::ios::binary) << contents;
    struct timespec times[2] = {{time, 0}, {time, 0}};
    utimensat(AT_FDCWD, full.c_str(), times, 0);
}

void mapDrive(char letter, const std::string& hostDir) {
    std::string link = std::string(MORVI_SOURCE_DIR) + "/build/wineprefix/dosdevices/" +
                       static_cast<char>(letter | 0x20) + ":";
    std::error_code ignored;
    fs::remove(link, ignored);
    fs::create_directory_symlink(hostDir, link);
}

// Bytes that do not convert are left out.
static std::string converted(const char* from, const std::string& bytes) {
    iconv_t convert = iconv_open("UTF-8//IGNORE", from);
    std::string out(bytes.size() * 3 + 4, '\0');
    char *in = const_cast<char*>(bytes.data()), *target = out.data();
    size_t inLeft = bytes.size(), outLeft = out.size();
    iconv(convert, &in, &inLeft, &target, &outLeft);
    iconv_close(convert);
    out.resize(out.size() - outLeft);
    return out;
}

// Read here on its own, not with the program's conversion, which the tests check.
std::string utf8(const std::string& cp932) {
    std::string out;
    size_t done = 0;
    for (size_t at = cp932.find("<U+"); at != std::string::npos; at = cp932.find("<U+", at + 1)) {
        size_t close = cp932.find('>', at);
        if (close == std::string::npos || close - at < 7 || close - at > 9 ||
            cp932.find_first_not_of("0123456789ABCDEF", at + 3) != close)
            continue;
        const char32_t codePoint = std::stoul(cp932.substr(at + 3, close - at - 3), nullptr, 16);
        out += converted("CP932", cp932.substr(done, at - done)) +
               converted("UTF-32LE", std::string(reinterpret_cast<const char*>(&codePoint), 4));
        done = close + 1;
    }
    return out + converted("CP932", cp932.substr(done));
}

std::string lines(const std::vector<std::string>& each) {
    std::string all;
    for (const auto& line : each) all += line + "\r\n";
    return all;
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> all;
    size_t start = 0, end;
    for (; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        all.push_back(text.substr(start, end - start));
    if (start < text.size()) all.push_back("unterminated: " + text.substr(start));
    return all;
}

}  // namespace e2e
