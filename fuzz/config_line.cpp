// Configuration file bytes through the line reader, the environment expansion and, for
// option lines, the option parser, as the configuration pass does with each line.
#include <cstring>

#include "fuzz_support.h"
#include "options/config_file.h"
#include "options/option_parser.h"

namespace {

void defineEnvironment() {
    auto& environment = sim::machine().environment;
    if (!environment.empty()) return;
    environment = {{"A", "x"},
                   {"EMPTY", ""},
                   {"SELF", "%SELF%"},
                   {"OPT", "/d/c"},
                   {"LONG", std::string(CONFIG_LINE_LIMIT - 3, 'L')},
                   {"HUGE", std::string(3 * CONFIG_LINE_LIMIT, 'H')}};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    defineEnvironment();
    if (size < 2 || size > 4 * CONFIG_LINE_LIMIT) return 0;
    // A short name limit reaches the cut-off that the real one (1023) needs long lines for.
    const int32_t nameLimit = (data[0] & 1) ? CONFIG_NAME_LIMIT : 1 + (data[0] >> 1) % 16;
    const bool blanksOnly = (data[0] & 0x80) != 0;
    FILE* file = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (file == nullptr) return 0;
    char* line = static_cast<char*>(std::malloc(CONFIG_LINE_LIMIT + 1));
    char* name = static_cast<char*>(std::malloc(static_cast<size_t>(nameLimit)));
    size_t lines = 0;
    for (;;) {
        LineEnd lineEnd;
        ConfigRead read = readConfigLine(line, file, &lineEnd, blanksOnly);
        ++lines;
        FUZZ_CHECK(lines <= size + 1);  // every line consumes input
        if (read == CONFIG_END) break;
        if (read == CONFIG_BINARY) {
            FUZZ_CHECK(line[0] == '\0');
            break;
        }
        FUZZ_CHECK(std::strlen(line) <= static_cast<size_t>(CONFIG_LINE_LIMIT));
        expandEnvironmentRefs(line, name, nameLimit);
        FUZZ_CHECK(std::strlen(line) <= static_cast<size_t>(CONFIG_LINE_LIMIT));
        if (line[0] != '/') continue;
        try {
            applyOptionGroup(line, true);
        } catch (const fuzz::ProcessExit& exit) {
            FUZZ_CHECK(exit.code == 1);
        }
    }
    std::fclose(file);
    std::free(line);
    std::free(name);
    return 0;
}
