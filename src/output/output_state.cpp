#include "output/output_state.h"

FILE* logStream = nullptr;
bool progressShown = false;

void beforeStandardError() { std::fflush(stdout); }
