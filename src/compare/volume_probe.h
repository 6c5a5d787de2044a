// What the run needs to know about a volume: its sector and cluster sizes, whether its
// cache can be dropped, and a root path spelled in 8.3 names. Each answers 0, false or an
// unconverted rest when the platform gives no answer; the caller has a fallback for each.
#pragma once

#include <cstdint>

// Bytes per sector of the volume of a path with a drive letter, or of the current drive
// when the path is null; 0 unknown.
uint32_t sectorSize(const char* path);

// Bytes per cluster of the volume of a drive, network or relative path; 0 unknown.
uint32_t clusterSize(const char* path);

// Drops the cache of the volume behind a drive path by dismounting it, which is only done
// while the volume could be locked (no other program holds it open). True when dropped.
bool clearVolumeCache(const char* path);

// Writes the full path into output with every component replaced by its 8.3 name where
// that is shorter. Output must hold strlen(path) + 1 bytes; converted names never grow.
void toAltPath(const char* path, char* output);
