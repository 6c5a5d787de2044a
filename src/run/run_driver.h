#pragma once

// The process entry of the command: runs one verification and answers the exit code.
int morviMain(int argc, char** argv);
