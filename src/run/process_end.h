// The one way out of the process. Every end, normal or fatal, goes through endProcess, so
// that what must happen before the exit happens in one place, on every path.
#pragma once

// What must be done before the process ends (threads ended, files closed); it must not
// end the process itself.
using BeforeExit = void (*)();

// The run driver installs its routine as the run starts; nullptr removes it.
void setBeforeExit(BeforeExit routine);

// Runs the before-exit routine once, flushes the streams and ends the process.
[[noreturn]] void endProcess(int exitCode);
