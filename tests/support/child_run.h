// Runs a piece of the program in a forked child, as support::runProgram does for a whole run,
// so that a stop ends only the child. Standard input is empty; both outputs are captured.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "platform/sim/machine.h"
#include "support/program_run.h"

namespace support {

inline std::string takeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    std::remove(path.c_str());
    return bytes.str();
}

inline support::RunOutput runInChild(const std::function<void()>& body) {
    const std::string base = "/tmp/morvi-child-" + std::to_string(getpid());
    const std::string out = base + ".out", err = base + ".err";
    std::fflush(nullptr);
    pid_t child = fork();
    if (child == 0) {
        dup2(open("/dev/null", O_RDONLY), 0);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), 2);
        body();
        std::exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    support::RunOutput result;
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = takeFile(out);
    result.err = takeFile(err);
    return result;
}

}  // namespace support
