// The lines of the pair that the run's path buffers hold: its progress name on the
// console while its contents are read, then its result line.
#pragma once

// A result line through writeOutput: the label, then the source and destination paths as
// verbose selects, with "＝" between them for a match and "≠" for anything else.
void printMatchLine();
void printMismatchLine(const char* label);

// The source (or destination) path, cut to one console line, left standing without a line
// end until the next output.
void showProgress();

// Ends a progress name that no result line replaces.
void endProgressLine();

// The tail of a path that fits 79 characters: the path itself, or the part behind a
// separator, or the start of its last component. Answers the start and the length.
const char* fitPathForDisplay(const char* path, int* length);
