#include "output/output_state.h"

FILE* logStream = nullptr;
bool progressShown = false;

void rewindProgressLine() {
    if (!progressShown) return;
    progressShown = false;
    std::fputs("\r", stdout);
}

void beforeStandardError() { std::fflush(stdout); }
