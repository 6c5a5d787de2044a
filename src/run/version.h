// The command's name and version, as the log's banner and the usage pages show them.
#pragma once

constexpr const char* COMMAND_NAME = "morvi";
constexpr const char* VERSION_TEXT = "1.62";
