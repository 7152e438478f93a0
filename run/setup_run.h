// The setup run: its state, its entry routine and the one way every run
// ends after the start-up question.
#pragma once

#include "host/platform.h"

// The state of one run. It lives for the whole process and is passed by
// reference to every phase. Window handles in it belong to the mail client
// and are never owned or released.
struct SetupRun {
  HWND main_window = nullptr;  // as last looked up; null until found
  bool wait_result = false;    // result of the latest wait for a window
  INPUT keyboard;              // the run's one keyboard event record
};

enum class Outcome { Failure, Success };

// Reported when the main window has no menu bar to open the rules from.
constexpr LPCSTR kNoMenuBarText = "Unable to retrieve handle to the Outlook Express menubar";

// Time-outs of the waits for a window, in seconds.
constexpr float kLaunchTimeoutSeconds = 15.0f;
constexpr float kDialogTimeoutSeconds = 3.0f;

// The program's entry routine: the whole job, in one straight line.
void RunRuleSetup();

// Called only when the mail client is not running: asks, launches it and
// waits for its main window and menu bar. Returns with the main window in
// the run; otherwise the process ends inside it.
void EnsureMailClientReady(SetupRun& run);

// Gives the user keyboard and mouse back, shows the text in a box owned by
// the mail client's main window (or none) and ends the process: status 1
// after a failure, 0 after success.
[[noreturn]] void ReportAndExit(LPCSTR text, Outcome outcome);
