// Memory, console, clock, environment and process of the simulated machine.
//   malloc, realloc, VirtualAlloc  fail as the allocations fault says; pages 4096-aligned
//   GetConsoleScreenBufferInfo     only with a console: its window rows and buffer height
//   FlushConsoleInputBuffer        drops the keys typed before the prompt
//   ReadConsoleInputA              the next queued event; with none left the child ends with
//                                  exit code 98, where the program would wait for ever
//   GetTickCount                   advances ticksPerCall a call; Sleep advances it as well
//   exit                           the exit hook when one is set, else the C library's;
//                                  with a thread still running, exit code 97 (threads.cpp)
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace os {

static bool allocationFails() { return sim::machine().allocations.nextFails(); }

void* allocate(size_t size) { return allocationFails() ? nullptr : std::malloc(size ? size : 1); }

void* reallocate(void* block, size_t size) {
    return allocationFails() ? nullptr : std::realloc(block, size ? size : 1);
}

void release(void* block) { std::free(block); }

void* allocatePages(size_t size) {
    if (allocationFails()) return nullptr;
    void* pages = nullptr;
    if (posix_memalign(&pages, 4096, size ? size : 1) != 0) return nullptr;
    sim::record("pages " + std::to_string(size));
    return pages;
}

void releasePages(void* pages) { std::free(pages); }

bool consoleScreenInfo(int* bufferHeight, int* windowRows) {
    const sim::Machine& m = sim::machine();
    if (!m.console) return false;
    *bufferHeight = m.bufferHeight;
    *windowRows = m.windowRows;
    return true;
}

void flushConsoleInput() {
    auto& keys = sim::machine().keys;
    while (!keys.empty() && keys.front().typedEarly) keys.pop_front();
}

bool readConsoleInput(InputRecord* record) {
    auto& keys = sim::machine().keys;
    if (keys.empty()) {
        std::fputs("sim: the program waits for a key that the test did not give\n", stderr);
        std::_Exit(98);
    }
    const sim::Key key = keys.front();
    keys.pop_front();
    record->eventType = key.eventType;
    record->keyDown = key.keyDown;
    record->character = key.character;
    if (key.eventType == KEY_EVENT) sim::record("key " + std::to_string(key.character));
    return true;
}

uint32_t tickCount() {
    sim::Machine& m = sim::machine();
    m.ticks += m.ticksPerCall;
    return m.ticks;
}

void sleepMilliseconds(uint32_t ms) { sim::machine().ticks += ms; }

void exitProcess(int code) {
    finishStandardStreams();
    if (sim::ExitHook hook = sim::exitHook()) hook(code);
    if (sim::threadsRunning() != 0) {
        std::fputs("sim: the process ends while a thread of it runs\n", stderr);
        std::_Exit(97);
    }
    std::exit(code);
}

VersionInfo getVersion() { return sim::machine().version; }

int64_t calendarTimeNow() {
    auto& times = sim::machine().calendarTimes;
    int64_t now = times.front();
    if (times.size() > 1) times.pop_front();
    return now;
}

bool localCalendarTime(int64_t time, std::tm* out) {
    std::time_t local = static_cast<std::time_t>(time - sim::machine().timeZoneBiasMinutes * 60LL);
    return gmtime_r(&local, out) != nullptr;
}

}  // namespace os
