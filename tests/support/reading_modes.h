// The ways the simulated machine lets a run read its large blocks: on one thread, when the
// reader thread or its events are refused, or on two, taking turns in either order, with one
// processor or with two (where each waits by watching for the other's hand-over first).
#pragma once

#include <cstdint>

#include "platform/sim/machine.h"

namespace support {

struct ReadingMode {
    const char* name;
    bool threadRefused, eventsRefused, wokenThreadRunsFirst;
    uint32_t processors;

    bool beside() const { return !threadRefused && !eventsRefused; }
    // readerCreation: the reader's CreateThread among the run's, 1 the first.
    void apply(sim::Machine& machine, long readerCreation) const {
        machine.threadCreations.failAt = threadRefused ? readerCreation : 0;
        machine.eventCreations.failAt = eventsRefused ? 1 : 0;
        machine.wokenThreadRunsFirst = wokenThreadRunsFirst;
        machine.processors = processors;
    }
};

inline const ReadingMode READING_MODES[] = {
    {"on two threads", false, false, false, 1},
    {"on two threads, the woken one first", false, false, true, 1},
    {"on two threads and processors", false, false, false, 2},
    {"on two threads and processors, the woken one first", false, false, true, 2},
    {"on one thread: the reader refused", true, false, false, 1},
    {"on one thread: its events refused", false, true, false, 1},
};

}  // namespace support
