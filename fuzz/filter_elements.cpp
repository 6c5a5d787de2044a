// Filter element texts: normalisation, the split into elements, and anchoring to a root.
#include <cstring>

#include "filter/filter_lists.h"
#include "fuzz_support.h"

namespace {

// Every element lies inside the list's one text buffer, in order.
void checkList(const FilterList& list) {
    if (list.count == 0) return;
    const char* start = list.elements[0];
    const char* end = start + list.textLength;
    FUZZ_CHECK(end[0] == '\0');
    for (int32_t k = 0; k < list.count; ++k) {
        FUZZ_CHECK(list.elements[k] >= start && list.elements[k] <= end);
        if (k > 0) FUZZ_CHECK(list.elements[k] > list.elements[k - 1]);
        FUZZ_CHECK(list.elements[k] + std::strlen(list.elements[k]) <= end);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    const std::vector<std::string> parts = fuzz::splitInput(data, size, 2);
    fuzz::ExactCopy text(parts[0]);
    fuzz::ExactCopy root(parts[1]);

    const int32_t length = normalizeElements(text.text, nullptr);
    FUZZ_CHECK(length >= 0);
    char* normalized = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    FUZZ_CHECK(normalizeElements(text.text, normalized) == length);
    FUZZ_CHECK(std::strlen(normalized) == static_cast<size_t>(length));
    int32_t commas = 0;
    for (int32_t k = 0; k < length; ++k) commas += normalized[k] == ',';
    std::free(normalized);

    FilterList list;
    FUZZ_CHECK(parseElementList(text.text, list));
    FUZZ_CHECK(list.count == (length == 0 ? 0 : commas + 1));
    checkList(list);
    if (list.count > 0) {
        std::free(list.elements[0]);
        std::free(list.elements);
    }

    try {
        FUZZ_CHECK(setFilterList(text.text, settings.limitPath) == 0);
        FUZZ_CHECK(setFilterList(text.text, settings.destSkipHead) == 0);
        FUZZ_CHECK(parseLimitOption(("lh" + parts[0]).c_str()) == 0);
        anchorPathLists("照合元", root.text, FilterSide::source);
        anchorPathLists("照合先", root.text, FilterSide::destination);
        const size_t rootLength = std::strlen(root.text);
        for (const FilterList* anchored :
             {&settings.limitPath, &settings.destSkipHead, &settings.limitHead, &settings.limitHeadForDirs}) {
            checkList(*anchored);
            for (int32_t k = 0; k < anchored->count && rootLength > 0; ++k) {
                const char* element = anchored->elements[k];
                const bool absolute = element[0] == '\\' || (element[0] != '\0' && element[1] == ':');
                FUZZ_CHECK(absolute || std::strncmp(element, root.text, rootLength) == 0);
            }
        }
    } catch (const fuzz::ProcessExit& exit) {
        FUZZ_CHECK(exit.code == 1);
    }
    FUZZ_CHECK(parts[1] == root.text);
    return 0;
}
