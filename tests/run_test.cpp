// Whole runs of the setup program on the simulated desktop, one scenario a
// row: what the user is shown, the exit status, what was sent to the
// client, and the rule the client holds at the end.
#include <gtest/gtest.h>

#include <functional>

#include "tests/scenario.h"

using mailclient::Dialog;
using scenario::Play;
using scenario::Result;
using scenario::Scenario;

namespace {

const char* const kWordsFailed = "Unable to specify words or phrases to match on";
const char* const kBackFromWordsFailed = "Should be back at 'New Mail Rule' but are not, aborting rule creation";
const char* const kMoveFailed = "Unable to specify folder to move mail to";
const char* const kBackFromMoveFailed = "Should be back at 'New Mail Rule' dialog but are not, aborting rule creation";
const char* const kListFailed = "Should be at 'Message Rules' dialog but are not, aborting rule creation";
const char* const kMainFailed =
    "Should be in Outlook Express with all dialogs closed but are not,\nPlease manually confirm the rule was created";

const char* const kMainClass = "Outlook Express Browser Class";

// Key events of the menu sequence and of each script, in run order.
constexpr int kMenuKeys = 8;
constexpr int kAltTKeys = 4;
constexpr int kToWords = kMenuKeys + 14;
constexpr int kToMatched = kToWords + 22;
constexpr int kToMove = kToMatched + 6;
constexpr int kToFolder = kToMove + 86;
constexpr int kToSaved = kToFolder + 36 + 4;
constexpr int kAllKeys = kToSaved + 18;

// The wait that failed before the report: the polls in a row for one window
// just before the input was unlocked, and whether a key went out after the
// first of them.
struct FailedWait {
  std::string class_name;
  std::string title;
  int polls = 0;
  bool key_after = false;
};

FailedWait LastWait(const Result& r) {
  const std::vector<sim::Event>& ev = r.desktop->events;
  FailedWait w;
  std::size_t unlock = ev.size();
  for (std::size_t i = ev.size(); i-- > 0;)
    if (ev[i].kind == sim::Event::Lock && !ev[i].locked) {
      unlock = i;
      break;
    }
  std::size_t first = unlock;
  for (std::size_t i = unlock; i-- > 0;) {
    if (ev[i].kind == sim::Event::Pause) continue;
    if (ev[i].kind != sim::Event::Lookup) break;
    if (w.polls > 0 && (ev[i].text != w.class_name || ev[i].title != w.title)) break;
    w.class_name = ev[i].text;
    w.title = ev[i].title;
    ++w.polls;
    first = i;
  }
  for (std::size_t i = first; i < ev.size(); ++i) w.key_after |= ev[i].kind == sim::Event::Key;
  return w;
}

struct RunCase {
  const char* name;
  std::function<void(Scenario&)> setup;
  std::vector<const char*> boxes;
  int status;
  int menu_sequences;  // button-downs sent to the menu bar
  int keys;
  bool rule;
  const char* report_owner;  // class of the last box's owner; "" none
  const char* failed_wait = nullptr;  // title (or class) of the wait before the report; null: none
  int polls = 0;                      // its polls
};

void Absent(Scenario& s) { s.client.running = false; }

const RunCase kRuns[] = {
    {"running, editor directly", [](Scenario&) {}, {scenario::kSuccessText}, 0, 1, kAllKeys, true, kMainClass},
    {"running, rules list first", [](Scenario& s) { s.client.rules_list_first = true; }, {scenario::kSuccessText}, 0,
     1, kAllKeys + 4, true, kMainClass},
    {"absent, OK", Absent, {scenario::kLaunchQuestion, scenario::kSuccessText}, 0, 1, kAllKeys, true, kMainClass},
    {"absent, Cancel",
     [](Scenario& s) {
       Absent(s);
       s.answers = {sim::Answer::Cancel};
     },
     {scenario::kLaunchQuestion}, 1, 0, 0, false, ""},
    {"absent, question closed",
     [](Scenario& s) {
       Absent(s);
       s.answers = {sim::Answer::Close};
     },
     {scenario::kLaunchQuestion}, 1, 0, 0, false, ""},
    {"absent and not installed",
     [](Scenario& s) {
       Absent(s);
       s.client.installed = false;
     },
     {scenario::kLaunchQuestion, scenario::kLaunchFailedText}, 1, 0, 0, false, "", kMainClass, 300},
    {"absent, starts after 15.1 s",
     [](Scenario& s) {
       Absent(s);
       s.client.start_ms = 15100;
     },
     {scenario::kLaunchQuestion, scenario::kLaunchFailedText}, 1, 0, 0, false, "", kMainClass, 300},
    {"absent, starts after 14.9 s",
     [](Scenario& s) {
       Absent(s);
       s.client.start_ms = 14900;
     },
     {scenario::kLaunchQuestion, scenario::kSuccessText}, 0, 1, kAllKeys, true, kMainClass},
    {"absent, menu bar never visible",
     [](Scenario& s) {
       Absent(s);
       s.client.menu_bar = sim::MenuBarState::Hidden;
     },
     {scenario::kLaunchQuestion, scenario::kSuccessText}, 0, 1, kAllKeys, true, kMainClass},
    {"absent, only two toolbars",
     [](Scenario& s) {
       Absent(s);
       s.client.menu_bar = sim::MenuBarState::TwoToolbars;
     },
     {scenario::kLaunchQuestion, scenario::kNoMenuBarText}, 1, 0, 0, false, kMainClass},
    {"absent, no rebar",
     [](Scenario& s) {
       Absent(s);
       s.client.menu_bar = sim::MenuBarState::NoRebar;
     },
     {scenario::kLaunchQuestion, scenario::kNoMenuBarText}, 1, 0, 0, false, kMainClass},
    {"running, only two toolbars", [](Scenario& s) { s.client.menu_bar = sim::MenuBarState::TwoToolbars; },
     {scenario::kNoMenuBarText}, 1, 0, kAltTKeys, false, kMainClass},
    {"running, no rebar host", [](Scenario& s) { s.client.menu_bar = sim::MenuBarState::NoRebarHost; },
     {scenario::kNoMenuBarText}, 1, 0, kAltTKeys, false, kMainClass},
    {"main window gone before the menu", [](Scenario& s) { s.client.main_closes_at = 400; },
     {scenario::kNoMenuBarText}, 1, 0, kAltTKeys, false, ""},
    {"first menu command lost", [](Scenario& s) { s.client.menu_commands_ignored = 1; }, {scenario::kSuccessText}, 0,
     2, kAllKeys + kMenuKeys, true, kMainClass},
    {"first menu command lost, rules list first",
     [](Scenario& s) {
       s.client.menu_commands_ignored = 1;
       s.client.rules_list_first = true;
     },
     {scenario::kSuccessText}, 0, 2, kAllKeys + kMenuKeys + 4, true, kMainClass},
    {"menu commands never work", [](Scenario& s) { s.client.menu_commands_ignored = 2; }, {scenario::kNoEditorText},
     1, 2, 2 * kMenuKeys, false, kMainClass, "New Mail Rule", 60},
    {"editor never opens", [](Scenario& s) { s.client.dialogs[Dialog::NewMailRule].never = true; },
     {scenario::kNoEditorText}, 1, 2, 2 * kMenuKeys, false, kMainClass, "New Mail Rule", 60},
    // Activating the main window for the second try brings its dialog up.
    {"editor opens behind", [](Scenario& s) { s.client.dialogs[Dialog::NewMailRule].behind = true; },
     {scenario::kSuccessText}, 0, 2, kAllKeys + kMenuKeys, true, kMainClass},
    {"rules list never opens",
     [](Scenario& s) {
       s.client.rules_list_first = true;
       s.client.dialogs[Dialog::MessageRules].never = true;
     },
     {scenario::kNoEditorText}, 1, 2, 2 * kMenuKeys, false, kMainClass, "New Mail Rule", 60},
    {"words dialog never opens", [](Scenario& s) { s.client.dialogs[Dialog::TypeSpecificWords].never = true; },
     {kWordsFailed}, 1, 1, kToWords, false, kMainClass, "Type Specific Words", 60},
    {"words dialog behind", [](Scenario& s) { s.client.dialogs[Dialog::TypeSpecificWords].behind = true; },
     {kWordsFailed}, 1, 1, kToWords, false, kMainClass, "Type Specific Words", 60},
    {"words dialog after 2.9 s", [](Scenario& s) { s.client.dialogs[Dialog::TypeSpecificWords].delay_ms = 2900; },
     {scenario::kSuccessText}, 0, 1, kAllKeys, true, kMainClass},
    {"words dialog after 3.1 s", [](Scenario& s) { s.client.dialogs[Dialog::TypeSpecificWords].delay_ms = 3100; },
     {kWordsFailed}, 1, 1, kToWords, false, kMainClass, "Type Specific Words", 60},
    {"words dialog hangs", [](Scenario& s) { s.client.dialogs[Dialog::TypeSpecificWords].stuck = true; },
     {kBackFromWordsFailed}, 1, 1, kToMatched, false, kMainClass, "New Mail Rule", 60},
    {"move dialog never opens", [](Scenario& s) { s.client.dialogs[Dialog::Move].never = true; }, {kMoveFailed}, 1, 1,
     kToMove, false, kMainClass, "Move", 60},
    {"move dialog hangs", [](Scenario& s) { s.client.dialogs[Dialog::Move].stuck = true; }, {kBackFromMoveFailed}, 1,
     1, kToFolder, false, kMainClass, "New Mail Rule", 60},
    {"new folder dialog never opens", [](Scenario& s) { s.client.dialogs[Dialog::NewFolder].never = true; },
     {kListFailed}, 1, 1, kToSaved, false, kMainClass, "Message Rules", 60},
    {"rules list never opens after saving", [](Scenario& s) { s.client.dialogs[Dialog::MessageRules].never = true; },
     {kListFailed}, 1, 1, kToSaved, true, kMainClass, "Message Rules", 60},
    {"rules list hangs", [](Scenario& s) { s.client.dialogs[Dialog::MessageRules].stuck = true; }, {kMainFailed}, 1, 1,
     kAllKeys, true, kMainClass, kMainClass, 60},
    {"input lock fails", [](Scenario& s) { s.block_input_fails = true; }, {scenario::kSuccessText}, 0, 1, kAllKeys,
     true, kMainClass},
};

TEST(Run, Scenarios) {
  for (const RunCase& c : kRuns) {
    SCOPED_TRACE(c.name);
    Scenario s;
    c.setup(s);
    const Result r = Play(s);
    ASSERT_TRUE(r.exited) << "the program returned without ending the process";
    EXPECT_EQ(sim::CountEvents(*r.desktop, sim::Event::Exit), 1);
    EXPECT_EQ(r.status(), c.status);

    std::vector<std::string> texts;
    for (const sim::Box& b : r.boxes()) texts.push_back(b.text);
    EXPECT_EQ(texts, std::vector<std::string>(c.boxes.begin(), c.boxes.end()));
    for (const sim::Box& b : r.boxes()) {
      EXPECT_FALSE(b.input_locked) << "box shown with the input locked: " << b.text;
      EXPECT_NE(b.answer, 0) << "box not shown: " << b.text;
    }
    ASSERT_FALSE(r.boxes().empty());
    EXPECT_EQ(r.boxes().back().owner_class, c.report_owner);

    EXPECT_EQ(sim::CountEvents(*r.desktop, sim::Event::Message), c.menu_sequences);
    EXPECT_EQ(r.KeyCount(), c.keys) << r.Keys();
    if (!s.block_input_fails) {
      for (const sim::Event* key : sim::KeyEvents(*r.desktop)) EXPECT_TRUE(key->locked) << "key sent unlocked";
    }
    EXPECT_EQ(r.Rule() != nullptr, c.rule) << r.Keys();
    if (c.rule) {
      EXPECT_EQ(r.Rule()->conditions.size(), 1u);
    }

    if (c.failed_wait != nullptr) {
      const FailedWait w = LastWait(r);
      EXPECT_TRUE(w.title == c.failed_wait || w.class_name == c.failed_wait) << w.class_name << " / " << w.title;
      EXPECT_EQ(w.polls, c.polls);
      EXPECT_FALSE(w.key_after) << "a key went out after the wait began";
    }
  }
}

TEST(Run, SuccessLeavesTheBulkRuleInTheClient) {
  for (bool list_first : {false, true}) {
    SCOPED_TRACE(list_first ? "rules list first" : "editor directly");
    Scenario s;
    s.client.rules_list_first = list_first;
    const Result r = Play(s);
    ASSERT_NE(r.Rule(), nullptr);
    EXPECT_EQ(mailclient::Describe(*r.Rule()),
              "\"Bulk Mail Rule\": Where the Subject line contains specific words [BULK:]; Move it to the "
              "specified folder [Local Folders\\Inbox\\Bulk];");
    EXPECT_EQ(r.Rule()->actions.at(0).folder, "Bulk");
    EXPECT_TRUE(r.client->model.stack.empty()) << "a dialog was left open";
    EXPECT_EQ(r.client->model.keys_ignored, 0);
  }
}

TEST(Run, EveryKeyReachesTheDialogItIsMeantFor) {
  Scenario s;
  s.client.rules_list_first = true;
  const Result r = Play(s);
  EXPECT_EQ(r.KeyDownsTo("Inbox - Outlook Express"), 4);  // Alt, T, R, M
  EXPECT_EQ(r.KeyDownsTo("Message Rules"), 2 + 9);
  EXPECT_EQ(r.KeyDownsTo("Type Specific Words"), 11);
  // The new-folder dialog opened inside "Move" takes "Bulk" and its Enter.
  EXPECT_EQ(r.KeyDownsTo("Move") + r.KeyDownsTo("New Folder"), 43);
  EXPECT_EQ(r.KeyDownsTo("New Mail Rule"), 7 + 3 + 18 + 2);
}

TEST(Run, ClientRunningNoQuestionNoLaunchAndTheLockBetweenTwoPauses) {
  const Result r = Play(Scenario{});
  EXPECT_EQ(sim::CountEvents(*r.desktop, sim::Event::Launch), 0);
  std::vector<std::string> head;
  for (const sim::Event& e : r.desktop->events) {
    if (e.kind == sim::Event::Lookup) head.push_back("find " + e.text);
    if (e.kind == sim::Event::Pause) head.push_back("pause " + std::to_string(e.ms));
    if (e.kind == sim::Event::Lock) head.push_back(e.locked ? "lock" : "unlock");
    if (e.kind == sim::Event::Activation) head.push_back(e.op);
    if (head.size() == 8) break;
  }
  EXPECT_EQ(head, (std::vector<std::string>{"find Outlook Express Browser Class", "pause 250", "lock", "pause 250",
                                            "ShowWindow", "SetForegroundWindow", "SetActiveWindow", "SetFocus"}));
  for (const sim::Event& e : r.desktop->events) EXPECT_NE(e.ms, 5000u) << "settling pause without a launch";
}

TEST(Run, LaunchAsksLaunchesWaitsLocksAndSettles) {
  Scenario s;
  s.client.running = false;
  const Result r = Play(s);
  ASSERT_GE(r.boxes().size(), 1u);
  const sim::Box& question = r.boxes()[0];
  EXPECT_EQ(question.caption, scenario::kLaunchCaption);
  EXPECT_EQ(question.style, 1u);  // OK and Cancel, no icon
  EXPECT_EQ(question.owner, nullptr);

  std::vector<std::string> order;
  int lock_count = 0;
  for (const sim::Event& e : r.desktop->events) {
    if (e.kind == sim::Event::Launch) {
      EXPECT_EQ(e.text, "\"C:\\Program Files\\Outlook Express\\msimn.exe\"");
      EXPECT_EQ(e.show, 5);  // SW_SHOW
      order.push_back("launch");
    }
    if (e.kind == sim::Event::Lock && e.locked) {
      ++lock_count;
      order.push_back("lock");
    }
    if (e.kind == sim::Event::Pause && e.ms == 5000) order.push_back("settle");
    if (e.kind == sim::Event::Key && order.back() != "keys") order.push_back("keys");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"launch", "lock", "settle", "lock", "keys"}));
  EXPECT_EQ(lock_count, 2);
  EXPECT_EQ(r.client->launches, 1);
}

TEST(Run, MenuBarIsPolledAHundredTimesThenAcceptedOrReported) {
  for (sim::MenuBarState state : {sim::MenuBarState::Hidden, sim::MenuBarState::TwoToolbars}) {
    Scenario s;
    s.client.running = false;
    s.client.menu_bar = state;
    const Result r = Play(s);
    int polls = 0;
    for (const sim::Event& e : r.desktop->events) polls += e.kind == sim::Event::Pause && e.ms == 100;
    EXPECT_EQ(polls, 100);
  }
}

TEST(Run, SuccessWithTheClientRunningTakesExactlyTheFixedPauses) {
  const Result r = Play(Scenario{});
  // 250 + 250 around the lock; the menu: 250, 4 key events, 250, 750, 2,
  // 750, 2; three waits of one 50 ms poll; six steps, each its key events
  // (1 ms each), the 150 ms lead of the first, and one 50 ms poll.
  const sim::Millis menu = 250 + 4 + 250 + 750 + 2 + 750 + 2;
  const sim::Millis steps = 150 + (14 + 22 + 6 + 86 + 36 + 4 + 18) + 6 * 50;
  EXPECT_EQ(r.desktop->exit_time, 500 + menu + 3 * 50 + steps);
}

TEST(Run, SecondMenuSequenceFollowsThreeFailedWaits) {
  Scenario s;
  s.client.menu_commands_ignored = 1;
  const Result r = Play(s);
  std::vector<sim::Millis> clicks;
  for (const sim::Event& e : r.desktop->events) {
    if (e.kind != sim::Event::Message) continue;
    clicks.push_back(e.time);
    EXPECT_EQ(e.message, 0x0201u);
    EXPECT_EQ(e.wparam, 1u);
    EXPECT_EQ(e.lparam, 0x0006007D);
    EXPECT_EQ(e.target_title, "Menu Bar");
  }
  ASSERT_EQ(clicks.size(), 2u);
  // Rest of the first sequence (750 + 2 + 750 + 2), three 3 s waits, then the
  // second sequence up to its button-down (250 + 4 + 250).
  EXPECT_EQ(clicks[1] - clicks[0], 1504u + 9000u + 504u);
}

TEST(Run, ReportAfterTheMainWindowClosedHasNoOwner) {
  // The client exits just after the key that opens the words dialog.
  const Result baseline = Play(Scenario{});
  const sim::Millis words_opened = sim::KeyEvents(*baseline.desktop).at(kToWords - 2)->time;
  Scenario s;
  s.client.main_closes_at = words_opened + 1;
  const Result r = Play(s);
  ASSERT_EQ(r.boxes().size(), 1u);
  EXPECT_EQ(r.boxes()[0].text, kWordsFailed);
  EXPECT_EQ(r.boxes()[0].owner, nullptr);
  EXPECT_EQ(r.boxes()[0].caption, "");
  EXPECT_EQ(r.boxes()[0].style, 0u);
  EXPECT_EQ(r.status(), 1);
}

TEST(Run, AnotherWindowInFrontAfterTheListClosesIsReported) {
  const Result baseline = Play(Scenario{});
  const sim::Millis last_key = sim::KeyEvents(*baseline.desktop).back()->time;
  Scenario s;
  s.client.steal_front_at = last_key + 1;
  const Result r = Play(s);
  ASSERT_EQ(r.boxes().size(), 1u);
  EXPECT_EQ(r.boxes()[0].text, kMainFailed);
  EXPECT_EQ(r.boxes()[0].owner_class, kMainClass);
  EXPECT_EQ(r.status(), 1);
  EXPECT_EQ(LastWait(r).polls, 60);
  EXPECT_NE(r.Rule(), nullptr);  // made, but the user is asked to check
}

}  // namespace
