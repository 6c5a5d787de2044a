#include "filter/filter_application.h"

bool isDirExcluded(const char*, const char*, const char*) { return false; }
bool isFileExcluded(const char*, const char*, const char*) { return false; }
