#include "options/config_file.h"

#include <cstring>

#include "options/option_parser.h"
#include "output/messages.h"
#include "platform/platform.h"
#include "run/path_tools.h"
#include "run/settings.h"

namespace {

constexpr uint32_t MODULE_NAME_CAPACITY = 260;

bool isSwitchLine(const char* line) {
    return std::strncmp(line, "switch", 6) == 0 && std::strchr(line, '=') != nullptr;
}

char switchCharOf(const char* line) {
    const char* at = std::strchr(line, '=') + 1;
    while (isWhiteSpace(static_cast<unsigned char>(*at))) ++at;
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

char* executablePathOf(const char* module) {
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

}  // namespace

// A module path longer than the usual capacity gets a buffer of its own.
char* findExecutablePath() {
    char module[MODULE_NAME_CAPACITY];
    uint32_t length = os::getModuleFileName(module, MODULE_NAME_CAPACITY);
    if (length == 0) return nullptr;
    if (length < MODULE_NAME_CAPACITY) return executablePathOf(module);
    PathBuffer longer;
    if (!allocatePath(longer, static_cast<int32_t>(length) + 1)) return nullptr;
    length = os::getModuleFileName(longer.text, static_cast<uint32_t>(longer.capacity));
    bool whole = length != 0 && length < static_cast<uint32_t>(longer.capacity);
    char* path = whole ? executablePathOf(longer.text) : nullptr;
    releasePath(longer);
    return path;
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
        // Emptied by the replacement: past its end lie the bytes the line had before.
        if (line[0] == '\0') continue;
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
