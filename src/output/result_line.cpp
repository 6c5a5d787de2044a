#include "output/result_line.h"

#include <cstdio>
#include <cstring>

#include "output/console_output.h"
#include "output/output_state.h"
#include "run/path_tools.h"
#include "run/run_state.h"
#include "run/settings.h"

namespace {

void printResultLine(const char* label, const char* separator) {
    const char* sourcePath = runState.source.path.text;
    const char* destPath = runState.dest.path.text;
    if (settings.verbose.source && settings.verbose.destination)
        writeOutput("%s%s%s%s\n", label, sourcePath, separator, destPath);
    else if (settings.verbose.source)
        writeOutput("%s%s\n", label, sourcePath);
    else if (settings.verbose.destination)
        writeOutput("%s%s\n", label, destPath);
    else
        rewindProgressLine();
}

}  // namespace

void printMatchLine() { printResultLine("", "＝"); }

void printMismatchLine(const char* label) { printResultLine(label, "≠"); }

void showProgress() {
    const char* path = settings.verbose.source ? runState.source.path.text : runState.dest.path.text;
    int length = 0;
    const char* shown = fitPathForDisplay(path, &length);
    progressShown = true;
    plainPrint("%.*s", length, shown);
    std::fflush(stdout);
}

void endProgressLine() {
    if (!progressShown) return;
    progressShown = false;
    plainPrint("\n\r");
}

const char* fitPathForDisplay(const char* path, int* length) {
    const int total = static_cast<int>(std::strlen(path));
    const int limit = 79;
    if (total <= limit) {
        *length = total;
        return path;
    }
    for (int k = total - 80; k < total; ++k) {
        const bool separator = path[k] == '/' || path[k] == ':' ||
                               isSeparatorAt(path, k);
        if (separator) {
            *length = total - (k + 1);
            return path + k + 1;
        }
    }
    const int backslash = findLastByte(path, '\\');
    const char* slash = std::strrchr(path, '/');
    int start = backslash + 1;
    if (slash != nullptr && slash - path + 1 > start) start = static_cast<int>(slash - path + 1);
    if (start == 0 && total >= 2 && path[1] == ':') start = 2;
    const int rest = total - start;
    *length = rest < limit ? rest : limit;
    // Cut between characters, never after the first byte of one.
    if (*length < rest && byteKindAt(path + start, *length - 1) == FIRST_BYTE) --*length;
    return path + start;
}
