// Filling in, naming and saving the bulk-mail rule, closing the rules list,
// and the success report.
#pragma once

#include "run/setup_run.h"

// Starts with "New Mail Rule" in front. Never returns: ends with the success
// report, or with the report of the first step whose dialog did not come up.
[[noreturn]] void CompleteRule(SetupRun& run);
