// The wildcard, head, tail and escaped matchers over a text and a pattern split from the
// input, and the name and extension helpers over the text.
#include <cstring>

#include "filter/matching.h"
#include "fuzz_support.h"
#include "run/path_tools.h"

namespace {

bool hasAny(const std::string& text, const char* bytes) {
    return text.find_first_of(bytes) != std::string::npos;
}

void checkWithin(const char* result, const char* text) {
    FUZZ_CHECK(result >= text && result <= text + std::strlen(text));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    std::vector<std::string> parts = fuzz::splitInput(data, size, 2);
    // The texts are entry names and paths, in which no file system allows * or ?.
    for (char& byte : parts[0])
        if (byte == '*' || byte == '?') byte = '_';
    fuzz::ExactCopy text(parts[0]);
    fuzz::ExactCopy pattern(parts[1]);
    const char* t = text.text;
    const char* p = pattern.text;

    const bool exact = matchWildcard(t, p);
    matchWildcardNoCase(t, p);
    matchHead(t, p);
    matchHeadNoCase(t, p);
    matchEscaped(t, p);
    matchEscapedNoCase(t, p);
    matchTail(t, p);
    matchTailNoCase(t, p);
    isHeadOf(t, p);
    isHeadOfNoCase(t, p);
    // A pattern without wildcards matches only its own bytes.
    if (!parts[1].empty() && !hasAny(parts[1], "*?")) FUZZ_CHECK(exact == (parts[0] == parts[1]));

    FUZZ_CHECK(matchWildcard(t, "*"));
    FUZZ_CHECK(matchWildcardNoCase(t, "*"));
    if (!parts[0].empty()) {
        FUZZ_CHECK(matchWildcard(t, t) && matchWildcardNoCase(t, t));
        FUZZ_CHECK(matchHead(t, t) && matchTail(t, t) && matchTailNoCase(t, t));
        if (!hasAny(parts[0], "\\")) FUZZ_CHECK(matchEscaped(t, t));
        if (byteKindAt(t, static_cast<int32_t>(parts[0].size()) - 1) != 1)
            FUZZ_CHECK(isHeadOf(t, t) && isHeadOfNoCase(t, t));
    }

    os::FindRecord entry{};
    const size_t nameLength = std::min(parts[0].size(), sizeof entry.name - 1);
    std::memcpy(entry.name, t, nameLength);
    const size_t altLength = std::min(parts[0].size(), sizeof entry.altName - 1);
    std::memcpy(entry.altName, t, altLength);
    for (int flags = 0; flags < 4; ++flags) matchEntryName(entry, p, flags & 1, flags & 2);

    checkWithin(fileNamePart(t), t);
    if (const char* extension = extensionOf(t)) checkWithin(extension, t);
    fuzz::ExactCopy component(parts[0]);
    lastComponent(component.text);
    FUZZ_CHECK(std::strlen(component.text) <= parts[0].size());

    FUZZ_CHECK(parts[0] == t && parts[1] == p);
    return 0;
}
