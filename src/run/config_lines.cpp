#include "run/config_lines.h"

#include <cstring>

#include "platform/platform.h"
#include "run/path_tools.h"

namespace {

constexpr unsigned char CTRL_Z = 0x1A;

// What the line reader sees besides bytes.
constexpr int UNIT_END = -1;
constexpr int UNIT_LINE_END = -2;

// The bytes a configuration file may not hold; a Ctrl-Z counts unless it is the very last.
bool isForbiddenInConfig(int byte) {
    return (byte >= 0x01 && byte <= 0x06) || (byte >= 0x0E && byte <= 0x1A) ||
           (byte >= 0x1C && byte <= 0x1F) || byte == 0x7F || byte == 0xFF;
}

ConfigRead binaryData(char* line) {
    line[0] = '\0';
    return CONFIG_BINARY;
}

// The next byte, a line end (its kind in *lineEnd) or the end of the data; a Ctrl-Z that
// is the very last byte is the end, any other is an ordinary byte.
int nextUnit(FILE* file, LineEnd* lineEnd) {
    int byte = std::getc(file);
    if (byte == EOF) return UNIT_END;
    if (byte == '\n') {
        *lineEnd = LINE_END_LF;
        return UNIT_LINE_END;
    }
    if (byte == '\r') {
        int following = std::getc(file);
        if (following == '\n') {
            *lineEnd = LINE_END_CRLF;
            return UNIT_LINE_END;
        }
        if (following != EOF) std::ungetc(following, file);
        *lineEnd = LINE_END_CR;
        return UNIT_LINE_END;
    }
    if (byte == CTRL_Z) {
        int following = std::getc(file);
        if (following == EOF) return UNIT_END;
        std::ungetc(following, file);
    }
    return byte;
}

}  // namespace

bool isWhiteSpace(int byte) { return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f'; }

char* configFilePath(const char* executablePath) {
    size_t length = std::strlen(executablePath);
    int32_t nameStart = findLastByte(executablePath, '\\') + 1;
    int32_t dot = findLastByte(executablePath + nameStart, '.');
    size_t stem = dot < 0 ? length : static_cast<size_t>(nameStart + dot);
    char* path = static_cast<char*>(os::allocate(stem + sizeof(".cfg")));
    if (path == nullptr) return nullptr;
    std::memcpy(path, executablePath, stem);
    std::memcpy(path + stem, ".cfg", sizeof(".cfg"));
    return path;
}

ConfigRead readConfigLine(char* line, FILE* file, LineEnd* lineEnd, bool blanksOnly) {
    line[0] = '\0';
    *lineEnd = LINE_END_NONE;
    int unit;
    do unit = nextUnit(file, lineEnd);
    while (isWhiteSpace(unit));
    if (unit == UNIT_LINE_END) return CONFIG_LINE;
    if (unit == UNIT_END) return CONFIG_END;

    int32_t length = 0;
    for (; unit >= 0 && unit != '#' && unit != ';'; unit = nextUnit(file, lineEnd)) {
        if (isForbiddenInConfig(unit)) return binaryData(line);
        if (length < CONFIG_LINE_LIMIT) line[length++] = static_cast<char>(unit);
    }
    if (unit >= 0) {  // a comment: checked for binary data, then dropped
        do {
            unit = nextUnit(file, lineEnd);
            if (isForbiddenInConfig(unit)) return binaryData(line);
        } while (unit >= 0);
    }
    while (length > 0 && (blanksOnly ? line[length - 1] == ' '
                                     : isWhiteSpace(static_cast<unsigned char>(line[length - 1]))))
        --length;
    line[length] = '\0';
    if (std::ferror(file)) {
        line[0] = '\0';
        return CONFIG_END;
    }
    return CONFIG_LINE;
}

void expandEnvironmentRefs(char* line, char* nameBuffer, int32_t nameLimit) {
    char* cursor = line;
    for (;;) {
        char* open = std::strchr(cursor, '%');
        if (open == nullptr) return;
        char* close = std::strchr(open + 1, '%');
        if (close == nullptr) return;
        size_t nameLength = static_cast<size_t>(close - open - 1);
        if (nameLength >= static_cast<size_t>(nameLimit)) return;
        std::memcpy(nameBuffer, open + 1, nameLength);
        nameBuffer[nameLength] = '\0';
        const char* value = os::environmentVariable(nameBuffer);

        // Value and the rest of the line, cut where the buffer ends.
        size_t room = static_cast<size_t>(CONFIG_LINE_LIMIT) - static_cast<size_t>(open - line);
        size_t valueLength = value != nullptr ? std::strlen(value) : 0;
        if (valueLength > room) valueLength = room;
        size_t tailLength = std::strlen(close + 1);
        if (tailLength > room - valueLength) tailLength = room - valueLength;
        std::memmove(open + valueLength, close + 1, tailLength);
        open[valueLength + tailLength] = '\0';
        if (valueLength > 0) std::memcpy(open, value, valueLength);
        cursor = open + valueLength;
    }
}

