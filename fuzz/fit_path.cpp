// The progress display's fitting of a path into 79 bytes.
#include <cstring>

#include "fuzz_support.h"
#include "output/result_line.h"
#include "run/path_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    const std::string original = fuzz::textOf(data, size > 2048 ? 2048 : size);
    fuzz::ExactCopy path(original);
    const int total = static_cast<int>(original.size());
    int length = -1;
    const char* shown = fitPathForDisplay(path.text, &length);
    FUZZ_CHECK(shown >= path.text && shown <= path.text + total);
    FUZZ_CHECK(length >= 0 && length <= 79);
    FUZZ_CHECK(shown + length <= path.text + total);
    if (total <= 79) FUZZ_CHECK(shown == path.text && length == total);
    // The shown part never starts on the second byte of a character.
    if (shown < path.text + total)
        FUZZ_CHECK(byteKindAt(path.text, static_cast<int32_t>(shown - path.text)) != 2);
    FUZZ_CHECK(original == path.text);
    return 0;
}
