#include "output/output_state.h"

#include "output/console_output.h"

FILE* logStream = nullptr;
bool progressShown = false;

void rewindProgressLine() {
    if (!progressShown) return;
    progressShown = false;
    plainPrint("\r");
}

void beforeStandardError() { std::fflush(stdout); }
