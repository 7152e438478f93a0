// The keystroke operations and the key scripts, as events on the desktop.
#include <gtest/gtest.h>

#include <functional>

#include "keys/keyboard.h"
#include "keys/scripts.h"
#include "sim/desktop.h"
#include "tests/scenario.h"

namespace {

class Keys : public testing::Test {
 protected:
  void SetUp() override {
    sim::SetCurrentDesktop(&desktop);
    CreateKeyboardRecord(record);
  }
  void TearDown() override { sim::SetCurrentDesktop(nullptr); }
  std::string Trace() const { return scenario::KeyTrace(sim::KeyEvents(desktop)); }

  sim::Desktop desktop;
  INPUT record;
};

TEST_F(Keys, RecordStartsAsAnEmptyKeyboardEvent) {
  EXPECT_EQ(record.type, 1u);
  EXPECT_EQ(record.ki.wScan, 0);
  EXPECT_EQ(record.ki.dwFlags, 0u);
  EXPECT_EQ(record.ki.time, 0u);
  EXPECT_EQ(record.ki.dwExtraInfo, 0u);
}

// Each operation: the events it sends (vk, up) and the record it leaves.
struct OperationCase {
  const char* name;
  std::function<void(INPUT&)> operation;
  std::vector<std::pair<WORD, bool>> events;
};

TEST_F(Keys, OperationsSendOneEventPerCallAfterAOneMillisecondPause) {
  const OperationCase cases[] = {
      {"PressKey Tab", [](INPUT& r) { PressKey(r, VK_TAB); }, {{0x09, false}, {0x09, true}}},
      {"HoldShift", [](INPUT& r) { HoldShift(r); }, {{0x10, false}}},
      {"ReleaseShift", [](INPUT& r) { ReleaseShift(r); }, {{0x10, true}}},
      {"HoldAlt", [](INPUT& r) { HoldAlt(r); }, {{0x12, false}}},
      {"ReleaseAlt", [](INPUT& r) { ReleaseAlt(r); }, {{0x12, true}}},
      {"Shift B", [](INPUT& r) { HoldShift(r); PressKey(r, VK_LETTER_B); ReleaseShift(r); },
       {{0x10, false}, {0x42, false}, {0x42, true}, {0x10, true}}},
  };
  for (const OperationCase& c : cases) {
    SCOPED_TRACE(c.name);
    desktop.events.clear();
    c.operation(record);
    std::vector<std::pair<WORD, bool>> sent;
    for (std::size_t i = 0; i < desktop.events.size(); ++i) {
      const sim::Event& e = desktop.events[i];
      if (e.kind != sim::Event::Key) continue;
      sent.emplace_back(e.vk, e.up);
      ASSERT_GT(i, 0u);
      const sim::Event& before = desktop.events[i - 1];
      EXPECT_EQ(before.kind, sim::Event::Pause);
      EXPECT_EQ(before.ms, 1u);
    }
    EXPECT_EQ(sent, c.events);
    EXPECT_EQ(record.ki.wVk, c.events.back().first);
    EXPECT_EQ(record.ki.dwFlags, 0u);
    EXPECT_EQ(record.type, 1u);
  }
}

struct ScriptCase {
  const KeyScript* script;
  const char* name;
  int events;
  const char* keys;
  sim::Millis lead_pause_ms;
};

const ScriptCase kScripts[] = {
    {&OpenNewRuleFromList, "OpenNewRuleFromList", 4, "Tab Enter", 0},
    {&OpenWordsDialog, "OpenWordsDialog", 14, "Down Space Tab Space Tab Down Enter", 150},
    {&EnterMatchWords, "EnterMatchWords", 22, "Shift{ B U L K ; }Shift Enter Tab Tab Tab Enter", 0},
    {&OpenMoveDialog, "OpenMoveDialog", 6, "Down Down Enter", 0},
    {&SetUpBulkFolder, "SetUpBulkFolder", 86,
     "Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left Left "
     "Left Left Left Left Left Left Left Left Left Left Right Right Tab Tab Enter Shift{ B }Shift U L K Enter "
     "Tab Enter",
     0},
    {&NameRule, "NameRule", 36,
     "Tab Shift{ B }Shift U L K Space Shift{ M }Shift A I L Space Shift{ R }Shift U L E", 0},
    {&SaveRule, "SaveRule", 4, "Tab Enter", 0},
    {&CloseRulesList, "CloseRulesList", 18, "Tab Tab Tab Tab Tab Tab Tab Tab Enter", 0},
};

TEST_F(Keys, ScriptsSendTheirKeysInOrderAndNothingElse) {
  for (const ScriptCase& c : kScripts) {
    SCOPED_TRACE(c.name);
    desktop.events.clear();
    const sim::Millis start = desktop.now;
    SendKeyScript(record, *c.script);
    EXPECT_STREQ(c.script->name, c.name);
    EXPECT_EQ(Trace(), c.keys);
    EXPECT_EQ(static_cast<int>(sim::KeyEvents(desktop).size()), c.events);
    // The only pauses: 1 ms before each event, and the script's own lead.
    EXPECT_EQ(desktop.now - start, c.lead_pause_ms + static_cast<sim::Millis>(c.events));
    EXPECT_EQ(record.ki.dwFlags, 0u);
  }
}

TEST_F(Keys, OpenWordsDialogWaitsBeforeItsFirstEvent) {
  const sim::Millis start = desktop.now;
  SendKeyScript(record, OpenWordsDialog);
  const std::vector<const sim::Event*> keys = sim::KeyEvents(desktop);
  ASSERT_FALSE(keys.empty());
  EXPECT_GE(keys.front()->time - start, 150u);
}

TEST_F(Keys, ShiftIsHeldOnlyAcrossTheCapitals) {
  // Shift state at each key-down of a letter or colon, as the client sees it.
  struct Typed {
    const KeyScript* script;
    const char* capitals;  // 'C' capital, 'l' lower case, per letter key
  };
  const Typed cases[] = {{&EnterMatchWords, "CCCCC"}, {&SetUpBulkFolder, "Clll"}, {&NameRule, "ClllClllClll"}};
  for (const Typed& c : cases) {
    SCOPED_TRACE(c.script->name);
    desktop.events.clear();
    SendKeyScript(record, *c.script);
    std::string seen;
    bool shift = false;
    for (const sim::Event* e : sim::KeyEvents(desktop)) {
      if (e->vk == VK_SHIFT) shift = !e->up;
      const bool letter = (e->vk >= 'A' && e->vk <= 'Z') || e->vk == VK_OEM_1;
      if (letter && !e->up) seen += shift ? 'C' : 'l';
    }
    EXPECT_EQ(seen, c.capitals);
    EXPECT_FALSE(shift) << "Shift left down";
  }
}

}  // namespace
