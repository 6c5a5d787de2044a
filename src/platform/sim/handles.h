// The records behind the simulated machine's file, volume and event handles.
#pragma once

#include <cstdint>
#include <string>

#include "platform/sim/machine.h"

namespace sim {

enum class HandleKind { file, volume, event };

struct OpenFile {
    HandleKind kind = HandleKind::file;
    const Node* node = nullptr;
    std::string bytes;
    size_t position = 0;
    int reads = 0;
    uint32_t flags = 0;
    uint32_t sectorSize = 512;
};

struct Event {
    HandleKind kind = HandleKind::event;
    bool signalled = false;
};

struct OpenVolume {
    HandleKind kind = HandleKind::volume;
    Volume* volume = nullptr;
    bool locked = false;
};

}  // namespace sim
