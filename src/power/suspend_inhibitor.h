// Refuses the system's requests to go into standby or hibernation while a run goes on: a
// hidden window on a thread of its own answers every suspend query with a denial.
#pragma once

void startSuspendInhibitor();

// Ends the thread and removes its window class.
void stopSuspendInhibitor();
