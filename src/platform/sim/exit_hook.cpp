// Lets an in-process caller (a fuzz target) survive the program's exits: the simulated
// exitProcess hands the exit code to the hook, which throws or jumps back instead.
#include "platform/sim/machine.h"

namespace sim {

static ExitHook currentExitHook = nullptr;

void setExitHook(ExitHook hook) { currentExitHook = hook; }

ExitHook exitHook() { return currentExitHook; }

}  // namespace sim
