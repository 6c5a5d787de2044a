#include "options/config_file.h"

#include <cstring>

#include "options/option_parser.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/settings.h"

namespace {

constexpr uint32_t MODULE_NAME_CAPACITY = 260;
constexpr unsigned char CTRL_Z = 0x1A;

// What the line reader sees besides bytes.
constexpr int UNIT_END = -1;
constexpr int UNIT_LINE_END = -2;

bool isBinaryByte(int byte) {
    return (byte >= 0x01 && byte <= 0x06) || (byte >= 0x0E && byte <= 0x1A) ||
           (byte >= 0x1C && byte <= 0x1F) || byte == 0x7F || byte == 0xFF;
}

ConfigRead binaryData(char* line) {
    line[0] = '\0';
    return CONFIG_BINARY;
}

bool isWhite(int byte) { return byte == ' ' || byte == '\t' || byte == '\v' || byte == '\f'; }

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

bool isSwitchLine(const char* line) {
    return std::strncmp(line, "switch", 6) == 0 && std::strchr(line, '=') != nullptr;
}

char switchCharOf(const char* line) {
    const char* at = std::strchr(line, '=') + 1;
    while (isWhite(static_cast<unsigned char>(*at))) ++at;
    return *at;
}

// The lines that a pass acts on: switch lines first, option lines second.
void takeSwitchLine(const char* line, void*) {
    if (isSwitchLine(line)) settings.switchChar = switchCharOf(line);
}

void applyOptionLine(const char* line, void* switchChar) {
    char leading = *static_cast<const char*>(switchChar);
    if (line[0] == '/' || line[0] == leading) applyOptionGroup(line, true);
}

void runPass(const char* executablePath, void (*visit)(const char*, void*), void* context) {
    if (executablePath == nullptr) stopWithMessage("メモリー不足");
    char* path = configFilePath(executablePath);
    if (path == nullptr) stopWithMessage("メモリー不足");
    stopOnConfigError(path, scanConfigFile(path, CONFIG_NAME_LIMIT, visit, context));
    os::release(path);
}

}  // namespace

char* findExecutablePath() {
    char module[MODULE_NAME_CAPACITY];
    uint32_t length = os::getModuleFileName(module, MODULE_NAME_CAPACITY);
    if (length == 0 || length >= MODULE_NAME_CAPACITY) return nullptr;  // missing or cut short
    module[length] = '\0';
    os::FindRecord record;
    os::SearchHandle search = os::findFirstFile(module, &record);
    if (search == nullptr) return nullptr;
    os::findClose(search);
    size_t directoryLength = static_cast<size_t>(findLastByte(module, '\\') + 1);
    size_t nameLength = std::strlen(record.name);
    char* path = static_cast<char*>(os::allocate(directoryLength + nameLength + 1));
    if (path == nullptr) return nullptr;
    std::memcpy(path, module, directoryLength);
    std::memcpy(path + directoryLength, record.name, nameLength + 1);
    return path;
}

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
    while (isWhite(unit));
    if (unit == UNIT_LINE_END) return CONFIG_LINE;
    if (unit == UNIT_END) return CONFIG_END;

    int32_t length = 0;
    for (; unit >= 0 && unit != '#' && unit != ';'; unit = nextUnit(file, lineEnd)) {
        if (isBinaryByte(unit)) return binaryData(line);
        if (length < CONFIG_LINE_LIMIT) line[length++] = static_cast<char>(unit);
    }
    if (unit >= 0) {  // a comment: checked for binary data, then dropped
        do {
            unit = nextUnit(file, lineEnd);
            if (isBinaryByte(unit)) return binaryData(line);
        } while (unit >= 0);
    }
    while (length > 0 && (blanksOnly ? line[length - 1] == ' '
                                     : isWhite(static_cast<unsigned char>(line[length - 1]))))
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

ConfigScanResult scanConfigFile(const char* configPath, int32_t nameLimit,
                                void (*visit)(const char* line, void* context), void* context) {
    ConfigScanResult result{CONFIG_MISSING, 0};
    FILE* file = os::openStream(configPath, "rb");
    if (file == nullptr) return result;
    char* line = static_cast<char*>(os::allocate(CONFIG_LINE_LIMIT + 1));
    char* name = static_cast<char*>(os::allocate(static_cast<size_t>(nameLimit) + 2));
    if (line == nullptr || name == nullptr) stopWithMessage("メモリー不足");

    result.outcome = CONFIG_READ;
    LineEnd remembered = LINE_END_NONE;
    for (;;) {
        ++result.lineNumber;
        LineEnd lineEnd;
        ConfigRead read = readConfigLine(line, file, &lineEnd);
        if (read == CONFIG_END) break;
        if (read == CONFIG_BINARY) {
            result.outcome = CONFIG_BINARY_DATA;
            break;
        }
        if (lineEnd != LINE_END_NONE) {
            if (remembered != LINE_END_NONE && lineEnd != remembered) {
                result.outcome = CONFIG_MIXED_LINE_ENDS;
                break;
            }
            remembered = lineEnd;
        }
        if (line[0] == '\0') continue;
        expandEnvironmentRefs(line, name, nameLimit);
        visit(line, context);
    }
    os::release(line);
    os::release(name);
    std::fclose(file);
    return result;
}

void stopOnConfigError(const char* configPath, const ConfigScanResult& result) {
    if (result.outcome == CONFIG_BINARY_DATA)
        stopWithMessage("設定ファイル\"%s\"が異常です。%lu行目にバイナリ・データを検出しました。",
                        configPath, result.lineNumber);
    if (result.outcome == CONFIG_MIXED_LINE_ENDS)
        stopWithMessage("設定ファイル\"%s\"が異常です。%lu行目に異なる改行コードを検出しました。",
                        configPath, result.lineNumber);
}

void loadSwitchChar(const char* executablePath) { runPass(executablePath, takeSwitchLine, nullptr); }

void applyConfigFile(const char* executablePath, char switchChar) {
    runPass(executablePath, applyOptionLine, &switchChar);
}
