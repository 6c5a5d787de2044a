// Runs the whole command on the simulated machine in a forked child, as the process entry
// does, and reads back its output, exit code and what it did to the machine.
#pragma once

#include <string>
#include <vector>

namespace support {

struct RunOutput {
    int exitCode = -1;
    std::string out;
    std::string err;
    std::u16string screen;  // what the console showed, when either stream was one
    std::vector<std::string> events;
    bool hasEvent(const std::string& prefix) const;
    // The calls made of a kind that the machine counts: "allocations", "stream opens",
    // "stream writes", "stream closes", "identities", "console writes", "reads beside"; and
    // "searches open" at the end.
    long calls(const std::string& kind) const;
};

// Argument 0 is the module path; the child runs over a copy of the machine, so the test's
// machine is as it was before.
RunOutput runProgram(const std::vector<std::string>& arguments);

}  // namespace support
