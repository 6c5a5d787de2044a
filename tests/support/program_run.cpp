#include "support/program_run.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/sim/machine.h"
#include "run/process_end.h"
#include "run/run_driver.h"

namespace support {

bool RunOutput::hasEvent(const std::string& prefix) const {
    for (const auto& event : events)
        if (event.compare(0, prefix.size(), prefix) == 0) return true;
    return false;
}

long RunOutput::calls(const std::string& kind) const {
    const std::string prefix = kind + " ";
    for (const auto& event : events)
        if (event.compare(0, prefix.size(), prefix) == 0) return std::stol(event.substr(prefix.size()));
    return -1;
}

static std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

static std::string eventsFile;
static std::string screenFile;

// The calls the run made of each kind that a test can fail by number; allocations last.
static void dumpEvents() {
    const sim::Machine& m = sim::machine();
    sim::record("stream opens " + std::to_string(m.streamOpens.made));
    sim::record("stream writes " + std::to_string(m.streamWrites.made));
    sim::record("stream closes " + std::to_string(m.streamCloses.made));
    sim::record("identities " + std::to_string(m.identities.made));
    sim::record("console writes " + std::to_string(m.consoleWrites.made));
    sim::record("searches open " + std::to_string(m.searchesOpen));
    sim::record("reads beside " + std::to_string(m.readsBeside));
    sim::record("allocations " + std::to_string(m.allocations.made));
    FILE* out = std::fopen(eventsFile.c_str(), "wb");
    if (out == nullptr) return;
    for (const auto& event : sim::machine().events) std::fprintf(out, "%s\n", event.c_str());
    std::fclose(out);
    FILE* screen = std::fopen(screenFile.c_str(), "wb");
    if (screen == nullptr) return;
    std::fwrite(m.screen.data(), sizeof(char16_t), m.screen.size(), screen);
    std::fclose(screen);
}

RunOutput runProgram(const std::vector<std::string>& arguments) {
    sim::Machine& m = sim::machine();
    std::string base = m.hostDir + "/run";
    std::string outFile = base + ".out", errFile = base + ".err";
    eventsFile = base + ".events";
    screenFile = base + ".screen";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        int in = open("/dev/null", O_RDONLY);
        int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        m.events.clear();
        m.allocations.made = m.streamOpens.made = m.streamWrites.made = m.streamCloses.made = 0;
        m.identities.made = m.searchesOpen = m.consoleWrites.made = 0;
        m.threadCreations.made = m.eventCreations.made = m.readsBeside = 0;
        m.screen.clear();
        std::atexit(dumpEvents);
        std::vector<std::string> copies = arguments;
        copies.insert(copies.begin(), m.modulePath);
        std::vector<char*> argv;
        for (auto& text : copies) argv.push_back(text.data());
        argv.push_back(nullptr);
        endProcess(morviMain(static_cast<int>(copies.size()), argv.data()));
    }
    RunOutput result;
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = slurp(outFile);
    result.err = slurp(errFile);
    std::istringstream lines(slurp(eventsFile));
    for (std::string line; std::getline(lines, line);) result.events.push_back(line);
    std::remove(eventsFile.c_str());
    const std::string screen = slurp(screenFile);
    result.screen.assign(reinterpret_cast<const char16_t*>(screen.data()), screen.size() / sizeof(char16_t));
    std::remove(screenFile.c_str());
    return result;
}

}  // namespace support
