// Walks the source tree beside the destination and hands every pair to the entry
// comparison; or compares the one file that a source argument names.
#pragma once

// A mismatch without continueOnMismatch stops the run: the walk hands this back up from
// whatever depth it was met at.
enum WalkOutcome { WALK_FINISHED = 0, WALK_STOPPED = 1 };

// From the two sides' paths in runState: each path (and each alternate path in use) ends in
// a separator, or a drive's ":", at the side's length, where the first names go.
WalkOutcome walkDirectory();

// The source path holds the directory up to its length and runState.sourceTail names the
// file; the destination path is a file or a directory to take the same name in.
void compareSingleFile();
