// Walks the source tree beside the destination and hands every pair to the entry
// comparison; or compares the one file that a source argument names.
#pragma once

#include <cstdint>

// A mismatch without continueOnMismatch stops the run: the walk hands this back up from
// whatever depth it was met at.
enum WalkOutcome { WALK_FINISHED = 0, WALK_STOPPED = 1 };

// The four lengths are where this level's names go in the source, destination and the two
// alternate path buffers; each buffer ends in a separator (or a drive's ":") there.
WalkOutcome walkDirectory(int32_t sourceLength, int32_t destLength, int32_t sourceAltLength,
                          int32_t destAltLength);

// The source path buffer holds the directory at sourceLength and runState.sourceTail names
// the file; the destination is a file or a directory to take the same name in.
void compareSingleFile(int32_t sourceLength, int32_t destLength, int32_t sourceAltLength);
