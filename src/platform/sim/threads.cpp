// Threads, events and the suspend inhibitor's window on the simulated machine.
//
// Each thread of the program is a host thread, but they take turns as on one processor that
// switches only where a thread cannot go on, so every run is the same run:
//   CreateThread         the new thread runs at once, until it waits or ends; then the one
//                        whose turn is next (in the order of creation) goes on
//   WaitForSingleObject  an object already signalled ends the wait at once; otherwise the
//                        thread waits and the turn passes on. A wait with a time limit ends
//                        only when no thread can run: its time then passes on the tick clock.
//                        When every thread waits for ever, the run ends with exit code 96
//   SetEvent             an auto-reset event: it wakes one waiter (the first created) and is
//                        reset by that wait; with wokenThreadRunsFirst the woken thread runs
//                        at once (as a waiter raised by the wake-up preempts its waker),
//                        otherwise the caller goes on until it waits
//   a thread's end       wakes those that wait for it
//   the process exit     while a thread other than the first has not ended: exit code 97
//   GetSystemInfo        processors, 1 unless the test says otherwise: a thread that watches
//                        memory for another's store watches in vain, as no other thread
//                        runs meanwhile
// Faults: threadCreations and eventCreations refuse CreateThread and CreateEventA.
//
// The inhibitor's message loop receives the broadcasts the test queued and ends when they
// are used up, so its thread has ended before CreateThread returns. Everything it does is
// recorded as events.
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "platform/sim/handles.h"
#include "platform/sim/machine.h"

namespace {

struct SimThread {
    os::ThreadRoutine routine = nullptr;
    void* argument = nullptr;
    bool ended = false;
    const void* awaited = nullptr;  // the object it waits for; nullptr while it can run
    uint32_t limit = 0;             // of that wait
    bool timedOut = false;
    std::thread host;
};

std::mutex turnLock;
std::condition_variable turnChanged;
SimThread mainThread;
// Never destroyed: the process may end while an ended thread's host was never joined.
std::vector<SimThread*>& threads = *new std::vector<SimThread*>{&mainThread};
SimThread* holder = &mainThread;  // whose turn it is
thread_local SimThread* self = nullptr;

SimThread* current() { return self != nullptr ? self : &mainThread; }

// Hands the turn to next and waits until it comes back.
void handTurn(std::unique_lock<std::mutex>& lock, SimThread* me, SimThread* next) {
    holder = next;
    turnChanged.notify_all();
    turnChanged.wait(lock, [me] { return holder == me; });
}

// Whose turn follows me's: the next thread that can run, me itself last; when none can, the
// first whose wait has a time limit, which then times out.
SimThread* nextTurn(SimThread* me) {
    size_t at = 0;
    while (threads[at] != me) ++at;
    for (size_t k = 1; k <= threads.size(); ++k) {
        SimThread* thread = threads[(at + k) % threads.size()];
        if (!thread->ended && thread->awaited == nullptr) return thread;
    }
    for (SimThread* thread : threads) {
        if (thread->ended || thread->limit == os::WAIT_FOREVER) continue;
        sim::machine().ticks += thread->limit;
        thread->awaited = nullptr;
        thread->timedOut = true;
        return thread;
    }
    std::fputs("sim: every thread waits for ever\n", stderr);
    std::_Exit(96);
}

// me waits for the object, which a setEvent or a thread's end clears from awaited.
bool waitTurn(std::unique_lock<std::mutex>& lock, const void* object, uint32_t milliseconds) {
    if (milliseconds == 0) return false;
    SimThread* me = current();
    me->awaited = object;
    me->limit = milliseconds;
    me->timedOut = false;
    handTurn(lock, me, nextTurn(me));
    return !me->timedOut;
}

void runThread(SimThread* me) {
    self = me;
    std::unique_lock<std::mutex> lock(turnLock);
    turnChanged.wait(lock, [me] { return holder == me; });
    lock.unlock();
    uint32_t result = me->routine(me->argument);
    lock.lock();
    sim::record("thread routine ended " + std::to_string(result));
    me->ended = true;
    for (SimThread* thread : threads)
        if (thread->awaited == me) thread->awaited = nullptr;
    holder = nextTurn(me);
    turnChanged.notify_all();
}

}  // namespace

namespace sim {

bool onFirstThread() { return current() == &mainThread; }

int threadsRunning() {
    std::lock_guard<std::mutex> lock(turnLock);
    int running = 0;
    for (SimThread* thread : threads) running += thread != &mainThread && !thread->ended;
    return running;
}

}  // namespace sim

namespace os {

static WindowProcedure registeredProcedure = nullptr;
static int windowToken = 0;

static std::string hex(uintptr_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

ThreadHandle createThread(ThreadRoutine routine, void* argument) {
    if (sim::machine().threadCreations.nextFails()) {
        sim::record("thread refused");
        return nullptr;
    }
    sim::record("thread created");
    auto* thread = new SimThread();
    thread->routine = routine;
    thread->argument = argument;
    std::unique_lock<std::mutex> lock(turnLock);
    threads.push_back(thread);
    thread->host = std::thread(runThread, thread);
    handTurn(lock, current(), thread);
    return thread;
}

bool setThreadPriority(ThreadHandle, int priority) {
    sim::record("thread priority " + std::to_string(priority));
    return true;
}

// The inhibitor's routine has already run, so its queue is gone and the quit cannot be posted.
bool postQuitMessage(ThreadHandle) {
    sim::record("thread quit refused");
    return false;
}

bool waitForThread(ThreadHandle handle, uint32_t milliseconds) {
    sim::record("thread waited " + std::to_string(milliseconds));
    auto* thread = static_cast<SimThread*>(handle);
    std::unique_lock<std::mutex> lock(turnLock);
    if (!thread->ended && !waitTurn(lock, thread, milliseconds)) return false;
    lock.unlock();
    if (thread->host.joinable()) thread->host.join();
    return true;
}

uint32_t processorCount() { return sim::machine().processors; }

EventHandle createEvent() {
    if (sim::machine().eventCreations.nextFails()) return nullptr;
    return new sim::Event();
}

bool setEvent(EventHandle handle) {
    auto* event = static_cast<sim::Event*>(handle);
    std::unique_lock<std::mutex> lock(turnLock);
    for (SimThread* waiter : threads) {
        if (waiter->awaited != event) continue;
        waiter->awaited = nullptr;
        if (sim::machine().wokenThreadRunsFirst) handTurn(lock, current(), waiter);
        return true;
    }
    event->signalled = true;
    return true;
}

bool waitForEvent(EventHandle handle, uint32_t milliseconds) {
    auto* event = static_cast<sim::Event*>(handle);
    std::unique_lock<std::mutex> lock(turnLock);
    if (event->signalled) {
        event->signalled = false;
        return true;
    }
    return waitTurn(lock, event, milliseconds);
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
