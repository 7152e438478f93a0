// Bringing up the "New Mail Rule" dialog through the mail client's menu bar.
#pragma once

#include "run/setup_run.h"

// Sends the menu sequence to the main window held in the run: activation,
// Alt+T, a button-down on the menu bar's Tools button, R, M. Ends the run
// with a report when the menu bar cannot be found.
void OpenRulesFromMenu(SetupRun& run);

// Returns only with "New Mail Rule" in front (through "Message Rules" when
// the client shows that first, with a second try of the menu); otherwise
// the run ends with a report.
void ReachNewMailRule(SetupRun& run);
