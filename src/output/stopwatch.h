// Measures the run in whole seconds from the local calendar fields, so that a clock or
// daylight-saving change during the run shifts the result by the same amount.
#pragma once

#include <cstdint>

void stopwatchStart();

// Elapsed seconds since the start. Advances the stored start year, so read it once per run.
int32_t stopwatchRead();
