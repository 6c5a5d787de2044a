// The two questions the walk asks of the filters.
#pragma once

// The alternate path is the source path spelled with 8.3 names, or nullptr.
bool isDirExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath);
bool isFileExcluded(const char* sourcePath, const char* destPath, const char* sourceAltPath);
