// The double-byte path tools: byte classes, separator searches and volume roots.
#include <cstring>

#include "fuzz_support.h"
#include "run/path_tools.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    const std::string original = fuzz::textOf(data, size > 4096 ? 4096 : size);
    fuzz::ExactCopy text(original);
    const char* t = text.text;
    const int32_t length = static_cast<int32_t>(original.size());

    // The byte classes, from a scan of our own: a lead byte and a trail byte make a pair.
    int state = 0;
    for (int32_t k = 0; k < length; ++k) {
        const unsigned char byte = static_cast<unsigned char>(t[k]);
        state = state == 1 ? (isTrailByte(byte) ? 2 : 0) : (isLeadByte(byte) ? 1 : 0);
        FUZZ_CHECK(byteKindAt(t, k) == state);
    }
    FUZZ_CHECK(byteKindAt(t, length) == 0 && byteKindAt(t, -1) == 0);
    FUZZ_CHECK(endsWithSeparator(t) ==
               (length > 0 && t[length - 1] == '\\' && byteKindAt(t, length - 1) != 2));

    // A lead byte without its second byte at the end leaves the last position unknown.
    const bool cutShort = length > 0 && byteKindAt(t, length - 1) == 1;
    for (char wanted : {'\\', '/', ':', '.', '~', '|'}) {
        const int32_t first = findByte(t, wanted);
        const int32_t last = findLastByte(t, wanted);
        FUZZ_CHECK(first >= -1 && first < length && last >= -1 && last < length);
        if (cutShort) FUZZ_CHECK(last == -1);
        else FUZZ_CHECK((first < 0) == (last < 0) && first <= last);
        for (int32_t at : {first, last}) {
            if (at < 0) continue;
            FUZZ_CHECK(t[at] == wanted);
            FUZZ_CHECK(byteKindAt(t, at) != 2);
        }
    }

    FUZZ_CHECK(hasPrefix(t, t));
    hasAliasShape(t);

    // Room for the one byte that a bare share's root gains.
    fuzz::ExactCopy root(original, 1);
    volumeRootOf(root.text);
    FUZZ_CHECK(std::strlen(root.text) <= original.size() + 1);

    FUZZ_CHECK(original == t);
    return 0;
}
