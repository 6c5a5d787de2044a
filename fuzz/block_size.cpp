// Block sizes <n>[.<fraction>][k|m|g]: whatever the text, the value lies between the whole
// units and the next one whenever that range fits in 32 bits.
#include "fuzz_support.h"
#include "options/option_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    const std::string text = fuzz::textOf(data, size);
    fuzz::ExactCopy copy(text);
    const uint32_t value = parseBlockSize(copy.text);

    size_t at = 0;
    uint64_t whole = 0;
    bool wholeFits = true;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        whole = whole * 10 + static_cast<uint64_t>(text[at] - '0');
        if (whole > 0xFFFFFFFFu) wholeFits = false;
    }
    bool hasFraction = false;
    if (at < text.size() && text[at] == '.') {
        for (++at; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
            hasFraction = hasFraction || text[at] != '0';
    }
    uint64_t unit = 1;
    if (at < text.size()) {
        switch (text[at]) {
            case 'k': case 'K': unit = 1024; break;
            case 'm': case 'M': unit = 1048576; break;
            case 'g': case 'G': unit = 1073741824; break;
            default: break;
        }
    }
    if (!wholeFits || (whole + 1) * unit > 0x100000000ull) return 0;
    FUZZ_CHECK(value >= whole * unit);
    FUZZ_CHECK(value < (whole + 1) * unit || (unit == 1 && value == whole));
    if (!hasFraction || unit == 1) FUZZ_CHECK(value == whole * unit);
    return 0;
}
