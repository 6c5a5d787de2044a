#include "run/process_end.h"
#include "run/run_driver.h"

int main(int argc, char** argv) { endProcess(morviMain(argc, argv)); }
