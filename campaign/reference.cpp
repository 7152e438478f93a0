#include "campaign/reference.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <utility>

namespace campaign {

const char* const kQuestionText =
    "The Bulk Mail Rule setup application must launch Outlook Express to continue.\n\n"
    "Click 'OK' to launch Outlook Express and begin Bulk Mail Rule setup or 'Cancel' to discontinue.";
const char* const kQuestionCaption = "Orvendel  - Bulk Mail Rule Setup";
const char* const kSuccessText = "Your bulk mail folder has been successfully set up.\n\nThank You for using Orvendel!";
const char* const kLaunchFailedText =
    "Unable to start Outook Express to create the Bulk Mail rule.\n\n"
    "Please launch Outlook Express and re-run this application.";
const char* const kNoMenuBarText = "Unable to retrieve handle to the Outlook Express menubar";
const char* const kNoEditorText =
    "Unable to continue Bulk Mail Rule setup.\n(cannot obtain a handle to the 'New Mail Rule' window)\n\n"
    "Please set Outlook Express to display the Inbox and re-run this application to install the Bulk Mail "
    "Rule.\n\nThank You for using Orvendel!";
const char* const kStepFailureTexts[6] = {
    "Unable to specify words or phrases to match on",
    "Should be back at 'New Mail Rule' but are not, aborting rule creation",
    "Unable to specify folder to move mail to",
    "Should be back at 'New Mail Rule' dialog but are not, aborting rule creation",
    "Should be at 'Message Rules' dialog but are not, aborting rule creation",
    "Should be in Outlook Express with all dialogs closed but are not,\nPlease manually confirm the rule was created",
};

bool IsReportText(const std::string& text) {
  if (text == kSuccessText || text == kLaunchFailedText || text == kNoMenuBarText || text == kNoEditorText)
    return true;
  for (const char* t : kStepFailureTexts)
    if (text == t) return true;
  return false;
}

namespace {

using mailclient::Dialog;
using sim::Millis;

// The documented constants of a run.
constexpr Millis kPollMs = 50;
constexpr int kDialogPolls = 60;   // 3.0 s
constexpr int kLaunchPolls = 300;  // 15.0 s
constexpr int kMenuBarPolls = 100;
constexpr Millis kMenuBarPollMs = 100;
constexpr Millis kSettleMs = 5000;
constexpr Millis kAroundLockMs = 250;
constexpr Millis kMenuPauses[] = {250, 250, 750, 750};
constexpr int kMenuEvents = 8;
constexpr int kListNewEvents = 4;

// The window in front, as far as the run is concerned.
enum class Front { Console, Main, Dialog, Thief, Nobody };

const char* const kMainClass = "Outlook Express Browser Class";

struct Ended {};

class Reference {
 public:
  explicit Reference(const Behaviour& b) : b_(b), c_(b.client) {
    ignore_left_ = c_.menu_commands_ignored;
    existing_rule_ = c_.rules_list_first;
    if (c_.running) {
      alive_ = true;
      menu_bar_made_ = true;
    }
    // Other programs' events come first at a tie: they were arranged before
    // the run began.
    if (c_.steal_front_at) At(*c_.steal_front_at, [this] { front_ = Front::Thief; });
    if (c_.main_closes_at) At(*c_.main_closes_at, [this] { ClientExits(); });
  }

  Expectation Run() {
    try {
      Walk();
    } catch (const Ended&) {
    }
    return e_;
  }

 private:
  // ---- Clock and the client's own events ---------------------------------

  void At(Millis t, std::function<void()> what) { timers_.emplace(std::make_pair(t, seq_++), std::move(what)); }

  void Pause(Millis ms) {
    const Millis until = now_ + ms;
    while (!timers_.empty() && timers_.begin()->first.first <= until) {
      auto first = timers_.begin();
      now_ = std::max(now_, first->first.first);
      auto what = std::move(first->second);
      timers_.erase(first);
      what();
    }
    now_ = until;
  }

  // ---- The client --------------------------------------------------------

  sim::DialogTiming Timing(Dialog d) const {
    auto it = c_.dialogs.find(d);
    return it == c_.dialogs.end() ? sim::DialogTiming{} : it->second;
  }

  bool InStack(Dialog d) const { return std::find(stack_.begin(), stack_.end(), d) != stack_.end(); }
  Dialog Active() const { return stack_.empty() ? Dialog::Main : stack_.back(); }

  // The topmost dialog that is on the screen, or the main window.
  void FrontToTop() {
    for (auto it = stack_.rbegin(); it != stack_.rend(); ++it)
      if (shown_.count(*it) != 0) {
        front_ = Front::Dialog;
        front_dialog_ = *it;
        return;
      }
    front_ = Front::Main;
  }

  bool FrontIsDialog(Dialog d) const { return front_ == Front::Dialog && front_dialog_ == d; }

  void ClientStarts() {
    if (alive_) return;
    alive_ = true;
    front_ = Front::Main;
    At(now_ + c_.menu_bar_ms, [this] { menu_bar_made_ = true; });
  }

  void ClientExits() {
    if (!alive_) return;
    alive_ = false;
    menu_bar_made_ = false;
    if (front_ == Front::Main || front_ == Front::Dialog) front_ = Front::Nobody;
    stack_.clear();
    shown_.clear();
  }

  bool MenuBarFound() const {
    return alive_ && menu_bar_made_ &&
           (c_.menu_bar == sim::MenuBarState::Visible || c_.menu_bar == sim::MenuBarState::Hidden);
  }

  void Open(Dialog d) {
    stack_.push_back(d);
    const sim::DialogTiming t = Timing(d);
    if (t.never) {
      Dismiss(d);
    } else if (t.delay_ms == 0) {
      Show(d);
    } else {
      pending_.insert(d);
      At(now_ + t.delay_ms, [this, d] {
        pending_.erase(d);
        Show(d);
      });
    }
  }

  void Show(Dialog d) {
    if (!alive_ || !InStack(d) || shown_.count(d) != 0) return;
    shown_.insert(d);
    if (!Timing(d).behind) {
      front_ = Front::Dialog;
      front_dialog_ = d;
    }
  }

  void Close(Dialog d) {
    auto it = std::find(stack_.begin(), stack_.end(), d);
    if (it == stack_.end()) return;
    stack_.erase(it);
    if (shown_.erase(d) != 0 && FrontIsDialog(d)) FrontToTop();
  }

  // A dialog that never comes up is given up as if cancelled.
  void Dismiss(Dialog d) {
    Close(d);
    if (d == Dialog::NewMailRule && editor_from_list_) list_focus_ = 0;
  }

  bool PendingInStack() const {
    for (Dialog d : pending_)
      if (InStack(d)) return true;
    return false;
  }

  void Undetermined(const std::string& why) {
    if (!e_.determined) return;
    e_.determined = false;
    e_.undetermined_because = why;
  }

  // ---- The run -----------------------------------------------------------

  // One synthesized key event: a 1 ms pause, then the event goes to the
  // window in front. True when the client receives it.
  bool SendEvent() {
    Pause(1);
    e_.key_times.push_back(now_);
    return front_ == Front::Main || front_ == Front::Dialog;
  }

  bool Wait(const char* window_class, Dialog d, int polls) {
    const Millis start = now_;
    for (int k = 1; k <= polls; ++k) {
      Pause(kPollMs);
      const bool in_front = d == Dialog::Main ? front_ == Front::Main && alive_ : FrontIsDialog(d);
      if (in_front) return true;
    }
    failed_start_ = start;
    failed_class_ = window_class;
    failed_title_ = d == Dialog::Main ? "" : mailclient::TitleOf(d);
    return false;
  }

  bool WaitDialog(Dialog d) { return Wait("#32770", d, kDialogPolls); }

  [[noreturn]] void Report(const char* text, bool success) {
    e_.after_failed_wait = false;
    End(text, success);
  }

  // A report about the wait that has just run out.
  [[noreturn]] void ReportAfterWait(const char* text) {
    e_.after_failed_wait = true;
    e_.failed_wait_start = failed_start_;
    e_.failed_wait_class = failed_class_;
    e_.failed_wait_title = failed_title_;
    End(text, false);
  }

  [[noreturn]] void End(const char* text, bool success) {
    e_.report_text = text;
    e_.success = success;
    e_.status = success ? 0 : 1;
    e_.report_owned = alive_;
    Pause(b_.answer_delay_ms);
    e_.exit_time = now_;
    throw Ended{};
  }

  // Keys that only operate the main window's menu are lost on the rule
  // editor and on the rules list (neither takes letters or Alt where
  // their focus starts); anywhere else this account stops following.
  void MenuKeyTo(bool delivered) {
    if (!delivered) return;
    const Dialog a = Active();
    if (a != Dialog::Main && a != Dialog::NewMailRule && a != Dialog::MessageRules)
      Undetermined("menu keys reached another dialog");
  }

  void Command() {
    if (ignore_left_ > 0) {
      --ignore_left_;
      return;
    }
    if (existing_rule_) {
      list_focus_ = 0;
      Open(Dialog::MessageRules);
    } else {
      editor_from_list_ = false;
      Open(Dialog::NewMailRule);
    }
  }

  void Menu() {
    if (alive_) FrontToTop();  // the main window (or its dialog) to the front
    Pause(kMenuPauses[0]);
    for (int i = 0; i < 4; ++i) MenuKeyTo(SendEvent());  // Alt down, T, Alt up
    Pause(kMenuPauses[1]);
    if (!MenuBarFound()) Report(kNoMenuBarText, false);
    const bool armed = Active() == Dialog::Main;  // the button-down opens Tools
    Pause(kMenuPauses[2]);
    const bool r = SendEvent();
    MenuKeyTo(r);
    const bool submenu = armed && r && Active() == Dialog::Main;
    SendEvent();
    Pause(kMenuPauses[3]);
    const bool m = SendEvent();
    MenuKeyTo(m);
    if (submenu && m && Active() == Dialog::Main) Command();
    SendEvent();
  }

  // Tab, Enter in the rules list: its New button.
  void ListNew() {
    if (SendEvent()) {
      if (Active() == Dialog::MessageRules)
        list_focus_ = (list_focus_ + 1) % 10;
      else if (Active() != Dialog::Main)
        Undetermined("the rules list's keys reached the rule editor");
    }
    SendEvent();
    if (SendEvent()) {
      if (Active() == Dialog::MessageRules) {
        if (list_focus_ == 1) {
          editor_from_list_ = true;
          Open(Dialog::NewMailRule);
        } else if (list_focus_ != 2) {  // 2: Modify, with nothing selected
          Undetermined("Enter on an unexpected button of the rules list");
        }
      } else if (Active() != Dialog::Main) {
        Undetermined("the rules list's keys reached the rule editor");
      }
    }
    SendEvent();
  }

  struct Effect {
    int event;  // 1-based
    std::function<void()> what;
  };

  // A key script of `events` events sent to `target`; each effect happens
  // when its event arrives. A script cut short (the client loses the front)
  // has no further effect; one that gets the front back part way through is
  // beyond this account.
  void Script(Dialog target, int events, Millis first_pause, const std::vector<Effect>& effects) {
    Pause(first_pause);
    if (Active() != target) Undetermined("a key script went to a dialog other than its own");
    bool cut = false;
    std::size_t next = 0;
    for (int i = 1; i <= events; ++i) {
      const bool delivered = SendEvent();
      if (!delivered) cut = true;
      if (delivered && cut) Undetermined("the client got the front back within a key script");
      if (next < effects.size() && effects[next].event == i) {
        if (!cut) effects[next].what();
        ++next;
      }
    }
    if (cut && PendingInStack()) Undetermined("a key script was cut short while a dialog was opening");
  }

  void Expect(Dialog d) {
    if (Active() != d) Undetermined("a key reached a dialog other than the expected one");
  }

  void SaveAndLeaveEditor() {
    Close(Dialog::NewMailRule);
    if (editor_from_list_)
      list_focus_ = 0;
    else
      Open(Dialog::MessageRules);
  }

  void Walk() {
    if (!c_.running) {
      e_.asks_question = true;
      Pause(b_.answer_delay_ms);
      if (b_.question != sim::Answer::Ok) {
        e_.cancelled = true;
        e_.status = 1;
        e_.exit_time = now_;
        throw Ended{};
      }
      if (c_.installed) At(now_ + c_.start_ms, [this] { ClientStarts(); });
      if (!Wait(kMainClass, Dialog::Main, kLaunchPolls)) ReportAfterWait(kLaunchFailedText);
      bool found = false;
      for (int poll = 0; poll < kMenuBarPolls; ++poll) {
        Pause(kMenuBarPollMs);
        found = MenuBarFound();
        if (found && c_.menu_bar != sim::MenuBarState::Hidden) break;
      }
      if (!found) Report(kNoMenuBarText, false);
      Pause(kSettleMs);
    }
    Pause(2 * kAroundLockMs);  // the input lock between the two pauses

    // Into the rule editor: two tries of the menu.
    Menu();
    if (!WaitDialog(Dialog::NewMailRule))
      if (WaitDialog(Dialog::MessageRules)) ListNew();
    if (!WaitDialog(Dialog::NewMailRule)) {
      Menu();
      if (WaitDialog(Dialog::MessageRules)) ListNew();
    }
    if (!WaitDialog(Dialog::NewMailRule)) ReportAfterWait(kNoEditorText);

    // The rule, step by step.
    Script(Dialog::NewMailRule, 14, 150, {{13, [this] { Open(Dialog::TypeSpecificWords); }}});
    if (!WaitDialog(Dialog::TypeSpecificWords)) ReportAfterWait(kStepFailureTexts[0]);

    Script(Dialog::TypeSpecificWords, 22, 0, {{21, [this] { Close(Dialog::TypeSpecificWords); }}});
    if (!WaitDialog(Dialog::NewMailRule)) ReportAfterWait(kStepFailureTexts[1]);

    Script(Dialog::NewMailRule, 6, 0, {{5, [this] { Open(Dialog::Move); }}});
    if (!WaitDialog(Dialog::Move)) ReportAfterWait(kStepFailureTexts[2]);

    // Left x30, Right x2, Tab x2, Enter (New Folder: event 69), the name,
    // Enter (event 81: the folder is made), Tab, Enter (event 85: OK).
    bool no_new_folder = false;
    Script(Dialog::Move, 86, 0,
           {{69,
             [this, &no_new_folder] {
               Expect(Dialog::Move);
               Open(Dialog::NewFolder);
               no_new_folder = !InStack(Dialog::NewFolder);
             }},
            {81,
             [this, &no_new_folder] {
               if (no_new_folder) {
                 // Enter lands on the folder tree: Move closes with the
                 // folder it had, and Tab, Enter then save the rule as it is.
                 Expect(Dialog::Move);
                 Close(Dialog::Move);
               } else {
                 Expect(Dialog::NewFolder);
                 Close(Dialog::NewFolder);
               }
             }},
            {85,
             [this, &no_new_folder] {
               if (no_new_folder) {
                 Expect(Dialog::NewMailRule);
                 SaveAndLeaveEditor();
               } else {
                 Expect(Dialog::Move);
                 Close(Dialog::Move);
               }
             }}});
    if (!WaitDialog(Dialog::NewMailRule)) ReportAfterWait(kStepFailureTexts[3]);

    Script(Dialog::NewMailRule, 36 + 4, 0, {{39, [this] { SaveAndLeaveEditor(); }}});
    if (!WaitDialog(Dialog::MessageRules)) ReportAfterWait(kStepFailureTexts[4]);

    Script(Dialog::MessageRules, 18, 0, {{17, [this] {
                                            if (list_focus_ != 0) Undetermined("the rules list's focus moved");
                                            Close(Dialog::MessageRules);
                                          }}});
    if (!Wait(kMainClass, Dialog::Main, kDialogPolls)) ReportAfterWait(kStepFailureTexts[5]);

    Report(kSuccessText, true);
  }

  const Behaviour& b_;
  const sim::ClientScenario& c_;
  Expectation e_;

  Millis now_ = 0;
  int seq_ = 0;
  std::map<std::pair<Millis, int>, std::function<void()>> timers_;

  bool alive_ = false;
  bool menu_bar_made_ = false;
  Front front_ = Front::Console;
  Dialog front_dialog_ = Dialog::Main;
  std::vector<Dialog> stack_;
  std::set<Dialog> shown_;
  std::set<Dialog> pending_;
  int ignore_left_ = 0;
  bool existing_rule_ = false;
  bool editor_from_list_ = false;
  int list_focus_ = 0;
  Millis failed_start_ = 0;
  std::string failed_class_;
  std::string failed_title_;
};

}  // namespace

Expectation Predict(const Behaviour& b) { return Reference(b).Run(); }

Millis LatestEnd(const Behaviour& b, std::string* arithmetic) {
  // Two menu sequences (pauses and 8 events each), five 3.0 s waits around
  // them, two Tab-Enter in the rules list, then six scripts each followed by
  // a 3.0 s wait, with the 150 ms pause of the first.
  const Millis menu = 250 + 250 + 750 + 750 + kMenuEvents;
  const Millis scripts = 150 + 14 + 22 + 6 + 86 + 36 + 4 + 18;
  const Millis rule = 2 * menu + 5 * 3000 + 2 * kListNewEvents + scripts + 6 * 3000;
  Millis total = 2 * kAroundLockMs + rule + b.answer_delay_ms;
  std::ostringstream out;
  out << "250+250 + 2x(" << menu << ") + 5x3000 + 2x" << kListNewEvents << " + " << scripts << " + 6x3000";
  if (!b.client.running) {
    total += b.answer_delay_ms + kLaunchPolls * kPollMs + kMenuBarPolls * kMenuBarPollMs + kSettleMs;
    out << " + 15000 + 100x100 + 5000 + 2x" << b.answer_delay_ms << " (answers)";
  } else {
    out << " + " << b.answer_delay_ms << " (answer)";
  }
  if (arithmetic) *arithmetic = out.str() + " = " + std::to_string(total);
  return total;
}

}  // namespace campaign
