// The settings a run takes from the two volumes before its walk: file-system modes, the
// alternate roots, the cache clearing and the block size. They read and write the
// process-wide settings and run state.
#pragma once

// The volume roots, file-system names, file-system rules and alternate roots of SourceRoot
// and DestRoot. Fatal when memory runs out or a volume cannot be reached.
void settleVolumes();

// Time modes, automatic attribute comparison and alternate access from the two
// file-system names.
void applyFileSystemRules();

// Clears both volumes' caches when cacheMode asks for it; the log file must be closed.
void clearRunCaches();

// Unbuffered reading for an uncleared side under the automatic cache mode, then the block
// size.
void settleReading();

// Turns blockSize into a byte count the two volumes can read, a whole number of sectors
// for an unbuffered side; an unknown size falls back to 1 MiB, buffered.
void negotiateBlockSize();

// After the walk, clears once more each volume whose cache was cleared before it.
void clearRunCachesAgain();
