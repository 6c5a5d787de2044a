#include "run/process_end.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

BeforeExit beforeExit = nullptr;

}  // namespace

void setBeforeExit(BeforeExit routine) { beforeExit = routine; }

void endProcess(int exitCode) {
    // Disarmed first: an in-process caller can come back through the exit hook.
    BeforeExit routine = beforeExit;
    beforeExit = nullptr;
    if (routine != nullptr) routine();
    std::fflush(nullptr);
    os::exitProcess(exitCode);
}
