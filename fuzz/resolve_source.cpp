// The source argument split into the directory to walk and a name or pattern, over a
// simulated machine with local, FAT, network and double-byte named trees.
#include <cstring>

#include "fuzz_support.h"
#include "run/path_buffer.h"
#include "run/path_tools.h"

namespace {

void buildMachine() {
    static bool built = false;
    if (built) return;
    built = true;
    sim::resetMachine();
    sim::addVolume("D:\\", "FAT");
    sim::addVolume("\\\\server\\share\\");
    sim::addFile("C:\\src\\a.txt", "a");
    sim::addFile("C:\\src\\sub\\b.txt", "b");
    // 表 and ポ, whose second bytes are \ and |, as bytes: clang writes literals in UTF-8.
    sim::addFile("C:\\src\\\x95\x5C\\\x83\x7C.txt", "c");
    sim::addFile("C:\\work\\local.txt", "d");
    sim::addDirectory("C:\\src\\LONGNAME.DIR").altName = sim::wide("LONGNA~1.DIR");
    sim::addFile("D:\\dst\\a.txt", "a");
    sim::addFile("\\\\server\\share\\dir\\e.txt", "e");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::beginInput();
    buildMachine();
    if (size < 1) return 0;
    const bool subDirectory = data[0] & 1, dirsToo = data[0] & 2, filesToo = data[0] & 4;
    const std::string original = fuzz::textOf(data + 1, size - 1 > 1024 ? 1024 : size - 1);
    fuzz::ExactCopy argument(original);

    PathBuffer sourcePath;
    char* tail = nullptr;
    int32_t alias = -1;
    const int32_t result =
        resolveSource(argument.text, sourcePath, &tail, &alias, subDirectory, dirsToo, filesToo);
    FUZZ_CHECK(result >= -3);
    FUZZ_CHECK(result != -1);  // nothing fails to allocate here
    FUZZ_CHECK(alias == 0 || alias == 1);
    if (result >= 0) {
        FUZZ_CHECK(sourcePath.text != nullptr);
        FUZZ_CHECK(std::strlen(sourcePath.text) == static_cast<size_t>(result));
        // The directory is the argument's head (a separator may be added), the name its rest.
        const size_t head = std::min(original.size(), static_cast<size_t>(result));
        FUZZ_CHECK(std::strncmp(sourcePath.text, original.c_str(), head) == 0);
        if (tail != nullptr) FUZZ_CHECK(original.compare(static_cast<size_t>(result), std::string::npos, tail) == 0);
        FUZZ_CHECK(alias == 0 || tail != nullptr);
    }
    std::free(tail);
    releasePath(sourcePath);
    FUZZ_CHECK(original == argument.text);
    return 0;
}
