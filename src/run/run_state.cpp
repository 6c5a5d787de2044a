#include "run/run_state.h"

RunTotals runTotals;
RunState runState;
