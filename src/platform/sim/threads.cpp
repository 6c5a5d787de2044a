// The suspend inhibitor's thread and window on the simulated machine. The thread runs at
// once, on the caller's thread: its message loop receives the broadcasts the test queued
// and ends when they are used up. Everything it does is recorded as events.
#include <cstdio>
#include <string>

#include "platform/platform.h"
#include "platform/sim/machine.h"

namespace os {

static WindowProcedure registeredProcedure = nullptr;
static int windowToken = 0;

static std::string hex(uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

ThreadHandle createThread(ThreadRoutine routine, void* argument) {
    sim::record("thread created");
    uint32_t result = routine(argument);
    sim::record("thread routine ended " + std::to_string(result));
    return &windowToken;
}

bool setThreadPriority(ThreadHandle, int priority) {
    sim::record("thread priority " + std::to_string(priority));
    return true;
}

// The thread's routine has already run, so its queue is gone and the quit cannot be posted.
bool postQuitMessage(ThreadHandle) {
    sim::record("thread quit refused");
    return false;
}

bool waitForThread(ThreadHandle, uint32_t milliseconds) {
    sim::record("thread waited " + std::to_string(milliseconds));
    return true;
}

InstanceHandle moduleInstance() { return &windowToken; }

bool registerWindowClass(const char* className, WindowProcedure procedure, InstanceHandle) {
    if (sim::machine().registerClassFails) return false;
    registeredProcedure = procedure;
    sim::record(std::string("class registered ") + className);
    return true;
}

bool unregisterWindowClass(const char* className, InstanceHandle) {
    sim::record(std::string("class unregistered ") + className);
    return true;
}

WindowHandle createHiddenWindow(const char* className, const char* title, InstanceHandle) {
    sim::record(std::string("window created ") + className + " [" + title + "]");
    return &windowToken;
}

int getMessage(Message* message) {
    auto& queue = sim::machine().windowMessages;
    if (queue.empty()) return 0;
    *message = queue.front();
    queue.pop_front();
    message->window = &windowToken;
    return 1;
}

void dispatchMessage(const Message* message) {
    if (registeredProcedure == nullptr) return;
    intptr_t result = registeredProcedure(message->window, message->message, message->wParam,
                                          message->lParam);
    sim::record("message " + hex(message->message) + " " + hex(message->wParam) + " -> " +
                hex(static_cast<uintptr_t>(result)));
}

intptr_t defWindowProc(WindowHandle, uint32_t message, uintptr_t wParam, intptr_t) {
    sim::record("default procedure " + hex(message) + " " + hex(wParam));
    return 0;
}

}  // namespace os
