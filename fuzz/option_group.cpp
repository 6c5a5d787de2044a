// One option argument (or configuration option line) through the option parser, then the
// filter preparation and anchoring that every run does after the options.
#include <cstring>

#include "filter/filter_lists.h"
#include "fuzz_support.h"
#include "options/option_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    if (size < 2) return 0;
    const bool fromConfigFile = (data[0] & 1) != 0;
    const std::string argument = fuzz::textOf(data + 1, size - 1);
    if (argument.empty()) return 0;
    fuzz::ExactCopy copy(argument);
    try {
        applyOptionGroup(copy.text, fromConfigFile);
        // A block size the reader cannot use must never get through.
        FUZZ_CHECK(settings.blockSize > 0 || settings.blockSize == -1 || settings.blockSize == -2);
        if (!prepareFilters()) return 0;
        anchorPathLists("照合元", "C:\\src\\", FilterSide::source);
        anchorPathLists("照合先", "\\\\server\\share\\dst\\", FilterSide::destination);
    } catch (const fuzz::ProcessExit& exit) {
        FUZZ_CHECK(exit.code == 1);
    }
    // The argument is read, never written.
    FUZZ_CHECK(std::strcmp(copy.text, argument.c_str()) == 0);
    return 0;
}
