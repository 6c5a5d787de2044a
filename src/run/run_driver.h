#pragma once

// Runs one verification and answers its exit code, for the caller to end the process with
// (endProcess); every other end of the process goes through endProcess on its own.
int morviMain(int argc, char** argv);
