#include "run/reach_editor.h"

#include "host/mail_client.h"
#include "keys/keyboard.h"
#include "keys/scripts.h"
#include "lookup/lookup.h"

namespace {

constexpr LPCSTR kNoEditorText =
    "Unable to continue Bulk Mail Rule setup.\n"
    "(cannot obtain a handle to the 'New Mail Rule' window)\n\n"
    "Please set Outlook Express to display the Inbox and re-run this application to install the "
    "Bulk Mail Rule.\n\n"
    "Thank You for using Orvendel!";

constexpr DWORD kAfterActivationMs = 250;
constexpr DWORD kAfterAltTMs = 250;
constexpr DWORD kBetweenMenuKeysMs = 750;

// The Tools button of the menu bar, in the menu bar's client coordinates.
constexpr unsigned kToolsButtonX = 125;
constexpr unsigned kToolsButtonY = 6;

bool WaitForDialog(SetupRun& run, LPCSTR title) {
  run.wait_result = WaitForWindow(mail_client::kDialogClass, title, kDialogTimeoutSeconds);
  return run.wait_result;
}

// The rules list came up in place of the editor: open a new rule from it.
void OpenNewRuleIfListShown(SetupRun& run) {
  if (WaitForDialog(run, mail_client::kMessageRulesTitle)) SendKeyScript(run.keyboard, OpenNewRuleFromList);
}

}  // namespace

void OpenRulesFromMenu(SetupRun& run) {
  host::ShowWindow(run.main_window, SW_SHOWNORMAL);
  host::SetForegroundWindow(run.main_window);
  host::SetActiveWindow(run.main_window);
  host::SetFocus(run.main_window);
  host::Sleep(kAfterActivationMs);

  HoldAlt(run.keyboard);
  PressKey(run.keyboard, VK_LETTER_T);
  ReleaseAlt(run.keyboard);
  host::Sleep(kAfterAltTMs);

  HWND menu_bar = FindMenuBar(run.main_window);
  if (menu_bar == nullptr) ReportAndExit(kNoMenuBarText, Outcome::Failure);
  host::SendMessageA(menu_bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(kToolsButtonX, kToolsButtonY));

  host::Sleep(kBetweenMenuKeysMs);
  PressKey(run.keyboard, VK_LETTER_R);
  host::Sleep(kBetweenMenuKeysMs);
  PressKey(run.keyboard, VK_LETTER_M);
}

void ReachNewMailRule(SetupRun& run) {
  OpenRulesFromMenu(run);
  if (!WaitForDialog(run, mail_client::kNewMailRuleTitle)) OpenNewRuleIfListShown(run);

  if (!WaitForDialog(run, mail_client::kNewMailRuleTitle)) {
    // Second try; this time only the rules list is looked for first.
    OpenRulesFromMenu(run);
    OpenNewRuleIfListShown(run);
  }

  if (!WaitForDialog(run, mail_client::kNewMailRuleTitle)) ReportAndExit(kNoEditorText, Outcome::Failure);
}
