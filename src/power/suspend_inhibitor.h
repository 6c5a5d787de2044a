// Refuses the system's requests to go into standby or hibernation while a run goes on: a
// hidden window on a thread of its own answers every suspend query with a denial.
#pragma once

void startSuspendInhibitor();

// Ends the thread when one runs; its window class goes with the process. Safe to call at
// any time, so that every end of the process can call it.
void endSuspendInhibitorThread();

// Ends the thread and removes its window class.
void stopSuspendInhibitor();
