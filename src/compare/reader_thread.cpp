#include "compare/reader_thread.h"

namespace {

struct ReadJob {
    os::EventHandle given = nullptr;
    os::EventHandle done = nullptr;
    os::FileHandle file = nullptr;
    void* buffer = nullptr;
    uint32_t size = 0;
    uint32_t count = 0;
    bool succeeded = false;
    bool leave = false;
};

// The thread sees the job only through its argument, so the compiler keeps every store to it
// before the event that hands it over.
ReadJob job;
os::ThreadHandle readerThread = nullptr;
bool readerTried = false;

uint32_t readerRoutine(void* argument) {
    ReadJob& work = *static_cast<ReadJob*>(argument);
    for (;;) {
        os::waitForEvent(work.given, os::WAIT_FOREVER);
        if (work.leave) return 0;
        work.succeeded = os::readFile(work.file, work.buffer, work.size, &work.count);
        os::setEvent(work.done);
    }
}

bool readerRunning() {
    if (!readerTried) {
        readerTried = true;
        job.given = os::createEvent();
        job.done = os::createEvent();
        if (job.given != nullptr && job.done != nullptr)
            readerThread = os::createThread(readerRoutine, &job);
    }
    return readerThread != nullptr;
}

}  // namespace

bool startReadBeside(os::FileHandle file, void* buffer, uint32_t size) {
    if (!readerRunning()) return false;
    job.file = file;
    job.buffer = buffer;
    job.size = size;
    os::setEvent(job.given);
    return true;
}

bool finishReadBeside(uint32_t* bytesRead) {
    os::waitForEvent(job.done, os::WAIT_FOREVER);
    *bytesRead = job.count;
    return job.succeeded;
}

// Never cut off: under Wine a process that ends while another of its threads runs is now and
// then killed after its work. A later comparison would start all anew; only tests make one.
void endReaderThread() {
    if (readerThread != nullptr) {
        job.leave = true;
        os::setEvent(job.given);
        os::waitForThread(readerThread, os::WAIT_FOREVER);
        readerThread = nullptr;
    }
    os::closeHandle(job.given);
    os::closeHandle(job.done);
    job = ReadJob{};
    readerTried = false;
}
