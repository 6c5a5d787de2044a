#include "run/path_tools.h"

#include <cstring>

#include "platform/platform.h"
#include "run/path_buffer.h"

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool isTrailByte(unsigned char byte) {
    return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFC);
}

ByteKind nextByteKind(ByteKind previous, unsigned char byte) {
    if (previous == FIRST_BYTE) return isTrailByte(byte) ? SECOND_BYTE : SINGLE_BYTE;
    return isLeadByte(byte) ? FIRST_BYTE : SINGLE_BYTE;
}

ByteKind byteKindAt(const char* text, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= std::strlen(text)) return SINGLE_BYTE;
    ByteKind kind = SINGLE_BYTE;
    for (int32_t k = 0; k <= index; ++k)
        kind = nextByteKind(kind, static_cast<unsigned char>(text[k]));
    return kind;
}

bool isSeparatorAt(const char* text, int32_t index) {
    return text[index] == '\\' && byteKindAt(text, index) != SECOND_BYTE;
}

int characterWidth(const char* text) {
    return isLeadByte(static_cast<unsigned char>(text[0])) &&
                   isTrailByte(static_cast<unsigned char>(text[1]))
               ? 2
               : 1;
}

bool endsWithSeparator(const char* text) {
    int32_t length = static_cast<int32_t>(std::strlen(text));
    return length > 0 && isSeparatorAt(text, length - 1);
}

bool endsWithSeparatorOrColon(const char* text) {
    size_t length = std::strlen(text);
    return (length > 0 && text[length - 1] == ':') || endsWithSeparator(text);
}

int32_t findByte(const char* text, char byte) {
    for (int32_t k = 0; text[k] != '\0'; ++k) {
        if (text[k] == byte) return k;
        if (isLeadByte(static_cast<unsigned char>(text[k]))) {
            if (text[k + 1] == '\0') return -1;
            ++k;
        }
    }
    return -1;
}

int32_t findLastByte(const char* text, char byte) {
    int32_t last = -1;
    for (int32_t k = 0; text[k] != '\0'; ++k) {
        if (text[k] == byte) last = k;
        if (isLeadByte(static_cast<unsigned char>(text[k]))) {
            if (text[k + 1] == '\0') return -1;
            ++k;
        }
    }
    return last;
}

bool hasPrefix(const char* text, const char* prefix) {
    if (prefix[0] == '\0') return text[0] == '\0';
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

bool isNetworkPath(const char* path) { return path[0] == '\\' && path[1] == '\\'; }

bool isDrivePath(const char* path) { return path[0] != '\0' && path[1] == ':'; }

bool hasWildcard(const char* text) {
    return std::strchr(text, '*') != nullptr || std::strchr(text, '?') != nullptr;
}

uint32_t attributesOf(const char* path) {
    uint32_t word = os::getFileAttributes(path);
    if (word == 0) return os::ATTR_NORMAL;
    if (word != os::INVALID_ATTRIBUTES) return word;
    if (!isNetworkPath(path) || !endsWithSeparator(path)) return os::INVALID_ATTRIBUTES;
    size_t length = std::strlen(path);
    char* shareRoot = static_cast<char*>(os::allocate(length));
    if (shareRoot == nullptr) return os::INVALID_ATTRIBUTES;
    std::memcpy(shareRoot, path, length - 1);
    shareRoot[length - 1] = '\0';
    word = os::getFileAttributes(shareRoot);
    os::release(shareRoot);
    if (word != os::INVALID_ATTRIBUTES && (word & os::ATTR_VOLUME) != 0)
        word = (word & ~(os::ATTR_VOLUME | os::ATTR_ARCHIVE)) | os::ATTR_DIRECTORY;
    return word;
}

// The end of \\server\share within a network path (the position of the separator behind
// the share name, or the string's length), or -1 without a share name.
static int32_t shareNameEnd(const char* path) {
    int32_t server = findByte(path + 2, '\\');
    if (server < 0) return -1;
    int32_t shareStart = 2 + server + 1;
    int32_t share = findByte(path + shareStart, '\\');
    return share < 0 ? static_cast<int32_t>(std::strlen(path)) : shareStart + share;
}

PathKind pathKind(const char* path) {
    char root[300];
    const char* rootArgument = nullptr;
    if (isDrivePath(path)) {
        root[0] = path[0];
        std::memcpy(root + 1, ":\\", 3);
        rootArgument = root;
    } else if (isNetworkPath(path)) {
        int32_t end = shareNameEnd(path);
        if (end >= 0 && end + 2 < static_cast<int32_t>(sizeof root)) {
            std::memcpy(root, path, static_cast<size_t>(end));
            root[end] = '\\';
            root[end + 1] = '\0';
            rootArgument = root;
        }
    }
    char fsName[261];
    if (!os::getVolumeFileSystemName(rootArgument, fsName, sizeof fsName)) return PATH_UNREACHABLE;

    uint32_t word;
    if (endsWithSeparator(path)) {
        size_t length = std::strlen(path);
        char* shortened = static_cast<char*>(os::allocate(length));
        if (shortened == nullptr) return PATH_UNREACHABLE;
        std::memcpy(shortened, path, length - 1);
        shortened[length - 1] = '\0';
        word = os::getFileAttributes(shortened);
        os::release(shortened);
    } else {
        word = os::getFileAttributes(path);
    }
    if (word == os::INVALID_ATTRIBUTES) return PATH_MISSING;
    if ((word & (os::ATTR_DIRECTORY | os::ATTR_VOLUME)) != 0) return PATH_DIRECTORY;
    return PATH_FILE;
}

void volumeRootOf(char* path) {
    if (isDrivePath(path)) {
        path[2] = '\\';
        path[3] = '\0';
        return;
    }
    if (!isNetworkPath(path)) return;
    int32_t end = shareNameEnd(path);
    if (end < 0) return;
    path[end] = '\\';
    path[end + 1] = '\0';
}

// A "~" or "\" that is the second byte of a double-byte character is none: a name wrongly
// taken for an 8.3 name would be matched against 8.3 names only.
bool hasAliasShape(const char* name) {
    if (findByte(name, '~') < 0) return false;
    size_t length = std::strlen(name);
    const char* base = name + findLastByte(name, '\\') + 1;
    int32_t dot = findLastByte(base, '.');
    size_t extension = dot >= 0 ? std::strlen(base + dot + 1) : 0;
    if (extension > 3) return false;
    return extension != 0 ? length <= extension + 9 : length <= 8;
}

int32_t resolveSource(const char* argument, PathBuffer& sourcePath, char** sourceTail,
                      int32_t* tailIsAlias, bool subDirectory, bool dirsToo, bool filesToo) {
    bool bothKindsWalk = subDirectory && dirsToo && filesToo;
    *sourceTail = nullptr;
    *tailIsAlias = 0;

    bool wholeShare = false;
    if (isNetworkPath(argument)) {
        int32_t server = findByte(argument + 2, '\\');
        if (server < 0) return SOURCE_WITHOUT_SHARE;
        wholeShare = findByte(argument + 2 + server + 1, '\\') < 0;
    }
    uint32_t word = wholeShare ? os::ATTR_DIRECTORY : attributesOf(argument);
    if (wholeShare || (word != os::INVALID_ATTRIBUTES && (word & os::ATTR_DIRECTORY) != 0)) {
        if (!writePathAt(sourcePath, 0, argument)) return SOURCE_OUT_OF_MEMORY;
        int32_t length = static_cast<int32_t>(std::strlen(sourcePath.text));
        if (!endsWithSeparatorOrColon(sourcePath.text)) {
            if (!writePathAt(sourcePath, length, "\\")) return SOURCE_OUT_OF_MEMORY;
            ++length;
        }
        return length;
    }

    int32_t dirLength;
    const char* tail;
    int32_t separator = findLastByte(argument, '\\');
    if (separator >= 0) {
        dirLength = separator + 1;
        if (!reservePath(sourcePath, dirLength)) return SOURCE_OUT_OF_MEMORY;
        std::memcpy(sourcePath.text, argument, static_cast<size_t>(dirLength));
        sourcePath.text[dirLength] = '\0';
        if (bothKindsWalk && attributesOf(sourcePath.text) == os::INVALID_ATTRIBUTES)
            return SOURCE_NOT_FOUND;
        tail = argument + dirLength;
    } else if (isDrivePath(argument)) {
        dirLength = 2;
        if (!reservePath(sourcePath, dirLength)) return SOURCE_OUT_OF_MEMORY;
        std::memcpy(sourcePath.text, argument, 2);
        sourcePath.text[2] = '\0';
        tail = argument + 2;
    } else {
        dirLength = 0;
        if (!reservePath(sourcePath, 0)) return SOURCE_OUT_OF_MEMORY;
        sourcePath.text[0] = '\0';
        tail = argument;
    }

    size_t tailLength = std::strlen(tail);
    char* copy = static_cast<char*>(os::allocate(tailLength + 1));
    if (copy == nullptr) return SOURCE_OUT_OF_MEMORY;
    std::memcpy(copy, tail, tailLength + 1);
    if (std::strcmp(copy, "*") == 0 || std::strncmp(copy, "*.*", 3) == 0) {
        os::release(copy);
        copy = nullptr;
    }
    *sourceTail = copy;
    *tailIsAlias = copy != nullptr && hasAliasShape(copy);
    if (bothKindsWalk && copy != nullptr && !hasWildcard(copy)) return SOURCE_NOT_FOUND;
    return dirLength;
}
