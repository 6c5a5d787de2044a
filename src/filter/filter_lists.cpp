#include "filter/filter_lists.h"

int parseSkipOption(const char*) { return 2; }
int parseLimitOption(const char*) { return 2; }
int parseDestOption(const char*) { return 2; }
