// A second thread that does one task at a time beside the caller: it reads the source's
// block while the caller reads the destination's, so that the two disks of a verification
// work at the same time, and compares one half of a pair of blocks while the caller compares
// the other. Windows 9x has threads but no overlapped file I/O: the thread makes plain
// reads, and each task is handed to it and back by two events.
#pragma once

using BesideTask = void (*)(void* argument);

// A read gains from the thread on any machine, as it mostly waits for a disk; a computation
// only where a second processor runs the thread.
enum class BesideWork { reading, computing };

// Starts the task on the thread, starting the thread at the first call. false when no thread
// can be had, or when it would not gain: the caller then does the work itself, as it would
// without one.
bool startBeside(BesideWork work, BesideTask task, void* argument);

// Waits until the task that startBeside started has ended.
void finishBeside();

// Asks the thread to leave and waits until it has; nothing when none runs. Between two tasks
// the thread only waits, so this is safe wherever the process ends.
void endReaderThread();
