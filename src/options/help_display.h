// The usage pages: every option, the exit codes, explanations, the configuration file's
// current contents and worked examples, paged on a console.
#pragma once

// Writes the pages to standard output and ends the process with exit code 1. The program
// name, the configuration path and the examples are taken from the executable's path.
[[noreturn]] void showHelp(const char* executablePath);
