// A second thread that reads a block of one file while the caller reads a block of another,
// so that the two disks of a verification work at the same time. Windows 9x has threads but
// no overlapped file I/O: the thread makes plain reads, handed to it and back by two events.
#pragma once

#include <cstdint>

#include "platform/platform.h"

// Starts the read on the reader thread, starting the thread at the first call. false when no
// thread can be had: the caller then reads the block itself, as it would without one.
bool startReadBeside(os::FileHandle file, void* buffer, uint32_t size);

// Waits for the read that startReadBeside started; answers as os::readFile does.
bool finishReadBeside(uint32_t* bytesRead);

// Asks the thread to leave and waits until it has; nothing when none runs. Between two reads
// the thread only waits, so this is safe wherever the process ends.
void endReaderThread();
