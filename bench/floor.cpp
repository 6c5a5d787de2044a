// The least a verification of a tree must ask of Windows: one listing per source
// directory, one look-up per destination entry, and for each file two opens, the reads
// into two 1 MiB buffers until both sides report their end, and two closes. Its time is
// the limit that morvi /d is measured against.
//
//   floor [/m] [/u] SOURCE DEST     /m: metadata only (no opens, no reads)
//                                   /u: open unbuffered, as morvi does where it cannot
//                                       clear a volume's cache
// Prints the counts of files, directories and bytes, and exits 2 when a pair differs.
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD BLOCK = 1u << 20;

struct Floor {
    bool metadataOnly = false;
    DWORD openFlags = FILE_FLAG_RANDOM_ACCESS;
    unsigned char* sourceBuffer = nullptr;
    unsigned char* destBuffer = nullptr;
    unsigned long files = 0, dirs = 0, differing = 0;
    unsigned long long bytes = 0;
};

bool sameContents(Floor& floor, const char* sourcePath, const char* destPath) {
    HANDLE source = CreateFileA(sourcePath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, floor.openFlags, nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    HANDLE dest = CreateFileA(destPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              floor.openFlags, nullptr);
    if (dest == INVALID_HANDLE_VALUE) {
        CloseHandle(source);
        return false;
    }
    bool same = true;
    for (;;) {
        DWORD sourceCount = 0, destCount = 0;
        if (!ReadFile(source, floor.sourceBuffer, BLOCK, &sourceCount, nullptr) ||
            !ReadFile(dest, floor.destBuffer, BLOCK, &destCount, nullptr) ||
            sourceCount != destCount ||
            std::memcmp(floor.sourceBuffer, floor.destBuffer, sourceCount) != 0) {
            same = false;
            break;
        }
        if (sourceCount == 0) break;
        floor.bytes += sourceCount;
    }
    CloseHandle(source);
    CloseHandle(dest);
    return same;
}

bool isDots(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// Both paths end in a backslash; names are written behind it and taken away again.
void walk(Floor& floor, char* source, size_t sourceLength, char* dest, size_t destLength) {
    std::strcpy(source + sourceLength, "*");
    WIN32_FIND_DATAA entry;
    HANDLE listing = FindFirstFileA(source, &entry);
    if (listing == INVALID_HANDLE_VALUE) return;
    do {
        if (isDots(entry.cFileName)) continue;
        size_t nameLength = std::strlen(entry.cFileName);
        std::memcpy(source + sourceLength, entry.cFileName, nameLength + 1);
        std::memcpy(dest + destLength, entry.cFileName, nameLength + 1);
        WIN32_FIND_DATAA found;
        HANDLE lookup = FindFirstFileA(dest, &found);
        if (lookup == INVALID_HANDLE_VALUE) {
            ++floor.differing;
            continue;
        }
        FindClose(lookup);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ++floor.dirs;
            std::strcpy(source + sourceLength + nameLength, "\\");
            std::strcpy(dest + destLength + nameLength, "\\");
            walk(floor, source, sourceLength + nameLength + 1, dest, destLength + nameLength + 1);
            continue;
        }
        ++floor.files;
        if (entry.nFileSizeLow != found.nFileSizeLow || entry.nFileSizeHigh != found.nFileSizeHigh)
            ++floor.differing;
        else if (!floor.metadataOnly && !sameContents(floor, source, dest))
            ++floor.differing;
    } while (FindNextFileA(listing, &entry));
    FindClose(listing);
}

// A root given without its final backslash gets one.
size_t asDirectory(char* path, const char* given) {
    size_t length = std::strlen(given);
    std::memcpy(path, given, length + 1);
    if (length == 0 || (path[length - 1] != '\\' && path[length - 1] != ':')) path[length++] = '\\';
    path[length] = '\0';
    return length;
}

}  // namespace

int main(int argc, char** argv) {
    Floor floor;
    const char* roots[2] = {nullptr, nullptr};
    int rootCount = 0;
    for (int k = 1; k < argc; ++k) {
        if (std::strcmp(argv[k], "/m") == 0)
            floor.metadataOnly = true;
        else if (std::strcmp(argv[k], "/u") == 0)
            floor.openFlags = FILE_FLAG_NO_BUFFERING;
        else if (rootCount < 2)
            roots[rootCount++] = argv[k];
    }
    if (rootCount != 2) {
        std::fputs("usage: floor [/m] [/u] SOURCE DEST\n", stderr);
        return 1;
    }
    floor.sourceBuffer = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, BLOCK, MEM_COMMIT, PAGE_READWRITE));
    floor.destBuffer = static_cast<unsigned char*>(
        VirtualAlloc(nullptr, BLOCK, MEM_COMMIT, PAGE_READWRITE));
    if (floor.sourceBuffer == nullptr || floor.destBuffer == nullptr) return 1;
    static char source[MAX_PATH * 8], dest[MAX_PATH * 8];
    size_t sourceLength = asDirectory(source, roots[0]);
    size_t destLength = asDirectory(dest, roots[1]);
    walk(floor, source, sourceLength, dest, destLength);
    std::printf("%lu files, %lu directories, %llu bytes, %lu differing\n", floor.files,
                floor.dirs, floor.bytes, floor.differing);
    return floor.differing != 0 ? 2 : 0;
}
