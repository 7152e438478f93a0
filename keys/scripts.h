// The fixed key scripts that operate the rule dialogs. Each is aimed at one
// dialog and should leave a known dialog in front; the scripts only type,
// they never look at windows or wait for them.
#pragma once

#include <cstddef>

#include "host/platform.h"

enum class KeyOp { Press, HoldShift, ReleaseShift, Pause };

struct KeyStep {
  KeyOp op;
  WORD key_or_ms;   // virtual key for Press, milliseconds for Pause
  int times;        // Press only: how many strokes in a row
};

struct KeyScript {
  const char* name;
  const KeyStep* steps;
  std::size_t step_count;
};

// Sent to "Message Rules": opens a new rule ("New Mail Rule").
extern const KeyScript OpenNewRuleFromList;
// Sent to "New Mail Rule": picks the subject condition and the move action
// and opens the words dialog ("Type Specific Words").
extern const KeyScript OpenWordsDialog;
// Sent to "Type Specific Words": adds BULK: and goes back to the rule.
extern const KeyScript EnterMatchWords;
// Sent to "New Mail Rule": opens the folder choice ("Move").
extern const KeyScript OpenMoveDialog;
// Sent to "Move": makes the Bulk folder and goes back to the rule.
extern const KeyScript SetUpBulkFolder;
// Sent to "New Mail Rule": types the rule's name, Bulk Mail Rule.
extern const KeyScript NameRule;
// Sent to "New Mail Rule": saves the rule ("Message Rules" follows).
extern const KeyScript SaveRule;
// Sent to "Message Rules": closes the list, back to the main window.
extern const KeyScript CloseRulesList;

void SendKeyScript(INPUT& record, const KeyScript& script);
