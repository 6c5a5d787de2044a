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

static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

static std::string prefixDir() { return std::string(MORVI_SOURCE_DIR) + "/build/wineprefix"; }

// Runs a host command with standard input empty and both outputs captured.
static WineRun runCommand(std::vector<std::string> command, const std::string& workingDir) {
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
        if (!workingDir.empty()) {
            // Wine starts a program in the Windows directory that maps the host's own one.
            std::string host = workingDir;
            if (chdir(host.c_str()) != 0) _exit(127);
        }
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
    run.out = slurp(outFile);
    run.err = slurp(errFile);
    return run;
}

WineRun runMorvi(const std::vector<std::string>& arguments, const std::string& workingDir) {
    std::vector<std::string> command{std::string(MORVI_SOURCE_DIR) + "/scripts/morvi"};
    for (const auto& argument : arguments) command.push_back(utf8(argument));
    return runCommand(command, workingDir);
}

WineRun runExe(const std::string& exePath, const std::vector<std::string>& arguments) {
    // The same Wine, prefix and locale as scripts/morvi, with another executable.
    std::vector<std::string> command{"/bin/bash", "-c", ". \"$0/scripts/wine-env\" && exec \"$MORVI_WINE\" \"$@\"",
                                     MORVI_SOURCE_DIR, exePath};
    for (const auto& argument : arguments) command.push_back(utf8(argument));
    return runCommand(command, "");
}

std::string readFile(const std::string& hostPath) { return slurp(hostPath); }

const std::string& morviExe() {
    static const std::string path = [] {
        WineRun where =
            runCommand({"/bin/bash", "-c", ". \"$0/scripts/wine-env\" && printf %s \"$MORVI_EXE\"", MORVI_SOURCE_DIR}, "");
        return where.out;
    }();
    return path;
}

std::string windowsPath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& byte : path) {
        if (byte == '/') byte = '\\';
    }
    return path;
}

std::string wineShortName(const std::string& windowsDir, const std::string& longName) {
    // A line of "dir /x" ends with the short name (blank when there is none), one space, the long name.
    WineRun listing = runCommand({"/bin/bash", "-c", ". \"$0/scripts/wine-env\" && exec \"$MORVI_WINE\" cmd /c dir /x \"$1\"",
                                  MORVI_SOURCE_DIR, windowsDir},
                                 "");
    std::istringstream text(listing.out);
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string tail = " " + longName;
        if (line.size() <= tail.size() || line.compare(line.size() - tail.size(), tail.size(), tail) != 0) continue;
        std::string front = line.substr(0, line.size() - tail.size());
        size_t end = front.find_last_not_of(' ');
        if (end == std::string::npos) return "";
        size_t start = front.find_last_of(' ', end);
        return front.substr(start + 1, end - start);
    }
    return "";
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
