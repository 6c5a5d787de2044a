#include "compare/reader_thread.h"

#include <atomic>
#include <cstdint>

#include "platform/platform.h"

namespace {

// A hand-over in one direction: the posts not yet taken, and an event for a waiter that found
// none. Where a second processor runs the other thread, a waiter first watches the count for
// a while: the other side mostly posts within microseconds, and a wait through the event
// costs more than that (under Wine, calls to its server and a thread switch).
struct Signal {
    std::atomic<long> posts{0};
    os::EventHandle event = nullptr;
};

// How many times a wait looks at the count before it sleeps: about a tenth of a millisecond,
// longer than the other thread mostly takes to hand a block over, too short to matter beside
// a read from a disk. None on one processor, where the other thread cannot run meanwhile.
constexpr uint32_t WATCH = 8192;
uint32_t watch = 0;

void relax() {
#if defined(__i386__) || defined(__x86_64__)
    __builtin_ia32_pause();
#endif
}

void post(Signal& signal) {
    if (signal.posts.fetch_add(1) < 0) os::setEvent(signal.event);
}

bool tookPost(Signal& signal) {
    long posts = signal.posts.load();
    return posts > 0 && signal.posts.compare_exchange_strong(posts, posts - 1);
}

void await(Signal& signal) {
    for (uint32_t k = 0; k < watch; ++k) {
        if (tookPost(signal)) return;
        relax();
    }
    if (signal.posts.fetch_sub(1) <= 0) os::waitForEvent(signal.event, os::WAIT_FOREVER);
}

struct Handover {
    Signal given;
    Signal done;
    BesideTask task = nullptr;  // nullptr asks the thread to leave
    void* argument = nullptr;
};

// Written only while the thread waits; the post's atomic add publishes the writes to it.
Handover handover;
os::ThreadHandle readerThread = nullptr;
bool readerTried = false;
bool secondProcessor = false;

uint32_t readerRoutine(void* argument) {
    Handover& work = *static_cast<Handover*>(argument);
    for (;;) {
        await(work.given);
        if (work.task == nullptr) return 0;
        work.task(work.argument);
        post(work.done);
    }
}

bool readerRunning() {
    if (!readerTried) {
        readerTried = true;
        handover.given.event = os::createEvent();
        handover.done.event = os::createEvent();
        secondProcessor = os::processorCount() > 1;
        watch = secondProcessor ? WATCH : 0;
        if (handover.given.event != nullptr && handover.done.event != nullptr)
            readerThread = os::createThread(readerRoutine, &handover);
    }
    return readerThread != nullptr;
}

}  // namespace

bool startBeside(BesideWork work, BesideTask task, void* argument) {
    if (!readerRunning() || (work == BesideWork::computing && !secondProcessor)) return false;
    handover.task = task;
    handover.argument = argument;
    post(handover.given);
    return true;
}

void finishBeside() { await(handover.done); }

// Never cut off: under Wine a process that ends while another of its threads runs is now and
// then killed after its work. A later comparison would start all anew; only tests make one.
void endReaderThread() {
    if (readerThread != nullptr) {
        handover.task = nullptr;
        post(handover.given);
        os::waitForThread(readerThread, os::WAIT_FOREVER);
        readerThread = nullptr;
    }
    os::closeHandle(handover.given.event);
    os::closeHandle(handover.done.event);
    handover.given.posts = handover.done.posts = 0;
    handover.given.event = handover.done.event = nullptr;
    handover.task = nullptr;
    readerTried = false;
}
