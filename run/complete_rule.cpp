#include "run/complete_rule.h"

#include "host/mail_client.h"
#include "keys/scripts.h"
#include "lookup/lookup.h"

namespace {

struct RuleStep {
  const KeyScript* script;
  const KeyScript* then_script;  // sent straight after, with no wait between
  LPCSTR wait_class;
  LPCSTR wait_title;             // null: any title
  LPCSTR failure_text;
};

const RuleStep kRuleSteps[] = {
    {&OpenWordsDialog, nullptr, mail_client::kDialogClass, mail_client::kTypeSpecificWordsTitle,
     "Unable to specify words or phrases to match on"},
    {&EnterMatchWords, nullptr, mail_client::kDialogClass, mail_client::kNewMailRuleTitle,
     "Should be back at 'New Mail Rule' but are not, aborting rule creation"},
    {&OpenMoveDialog, nullptr, mail_client::kDialogClass, mail_client::kMoveTitle,
     "Unable to specify folder to move mail to"},
    {&SetUpBulkFolder, nullptr, mail_client::kDialogClass, mail_client::kNewMailRuleTitle,
     "Should be back at 'New Mail Rule' dialog but are not, aborting rule creation"},
    {&NameRule, &SaveRule, mail_client::kDialogClass, mail_client::kMessageRulesTitle,
     "Should be at 'Message Rules' dialog but are not, aborting rule creation"},
    {&CloseRulesList, nullptr, mail_client::kMainWindowClass, nullptr,
     "Should be in Outlook Express with all dialogs closed but are not,\n"
     "Please manually confirm the rule was created"},
};

constexpr LPCSTR kSuccessText =
    "Your bulk mail folder has been successfully set up.\n\n"
    "Thank You for using Orvendel!";

}  // namespace

void CompleteRule(SetupRun& run) {
  for (const RuleStep& step : kRuleSteps) {
    SendKeyScript(run.keyboard, *step.script);
    if (step.then_script != nullptr) SendKeyScript(run.keyboard, *step.then_script);
    run.wait_result = WaitForWindow(step.wait_class, step.wait_title, kDialogTimeoutSeconds);
    if (!run.wait_result) ReportAndExit(step.failure_text, Outcome::Failure);
  }
  ReportAndExit(kSuccessText, Outcome::Success);
}
