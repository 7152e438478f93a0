#include "run/setup_run.h"

#include "host/mail_client.h"
#include "keys/keyboard.h"
#include "lookup/lookup.h"
#include "run/complete_rule.h"
#include "run/reach_editor.h"

namespace {

constexpr LPCSTR kLaunchQuestion =
    "The Bulk Mail Rule setup application must launch Outlook Express to continue.\n\n"
    "Click 'OK' to launch Outlook Express and begin Bulk Mail Rule setup or 'Cancel' to discontinue.";
constexpr LPCSTR kLaunchQuestionCaption = "Orvendel  - Bulk Mail Rule Setup";
constexpr LPCSTR kLaunchFailedText =
    "Unable to start Outook Express to create the Bulk Mail rule.\n\n"
    "Please launch Outlook Express and re-run this application.";
constexpr LPCSTR kReportCaption = "";

constexpr int kMenuBarPolls = 100;
constexpr DWORD kMenuBarPollMs = 100;
constexpr DWORD kSettleAfterLaunchMs = 5000;
constexpr DWORD kAroundLockMs = 250;

constexpr int kExitCancelled = 1;
constexpr int kExitFailure = 1;
constexpr int kExitSuccess = 0;

}  // namespace

void RunRuleSetup() {
  SetupRun run;
  CreateKeyboardRecord(run.keyboard);

  run.main_window = FindMailClientWindow();
  if (run.main_window == nullptr) EnsureMailClientReady(run);

  host::Sleep(kAroundLockMs);
  host::BlockInput(TRUE);
  host::Sleep(kAroundLockMs);

  ReachNewMailRule(run);
  CompleteRule(run);
}

void EnsureMailClientReady(SetupRun& run) {
  if (host::MessageBoxA(nullptr, kLaunchQuestion, kLaunchQuestionCaption, MB_OKCANCEL) != IDOK) {
    host::exit(kExitCancelled);
  }

  host::WinExec(mail_client::kLaunchCommandLine, SW_SHOW);

  run.wait_result = WaitForWindow(mail_client::kMainWindowClass, nullptr, kLaunchTimeoutSeconds);
  if (!run.wait_result) ReportAndExit(kLaunchFailedText, Outcome::Failure);

  host::BlockInput(TRUE);

  HWND menu_bar = nullptr;
  for (int poll = 0; poll < kMenuBarPolls; ++poll) {
    host::Sleep(kMenuBarPollMs);
    run.main_window = FindMailClientWindow();
    menu_bar = FindMenuBar(run.main_window);
    if (menu_bar != nullptr && host::IsWindowVisible(menu_bar)) break;
  }
  // A menu bar that exists but never became visible is good enough.
  if (menu_bar == nullptr) ReportAndExit(kNoMenuBarText, Outcome::Failure);

  host::Sleep(kSettleAfterLaunchMs);
}

void ReportAndExit(LPCSTR text, Outcome outcome) {
  host::BlockInput(FALSE);
  HWND owner = FindMailClientWindow();
  host::MessageBoxA(owner, text, kReportCaption, MB_OK);
  host::exit(outcome == Outcome::Success ? kExitSuccess : kExitFailure);
}
