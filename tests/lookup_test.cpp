// Window lookups and the wait for a window to come to the front.
#include <gtest/gtest.h>

#include "lookup/lookup.h"
#include "sim/desktop.h"

namespace {

class Lookup : public testing::Test {
 protected:
  void SetUp() override { sim::SetCurrentDesktop(&desktop); }
  void TearDown() override { sim::SetCurrentDesktop(nullptr); }
  int Pauses() const { return sim::CountEvents(desktop, sim::Event::Pause); }

  sim::Desktop desktop;
};

struct WaitCase {
  const char* name;
  float timeout;
  // When the dialog appears (-1 never) and whether it comes to the front.
  long appears_at_ms;
  bool in_front;
  bool result;
  int pauses;
};

TEST_F(Lookup, WaitPollsEvery50MillisecondsTwentyTimesASecond) {
  const WaitCase cases[] = {
      {"no time-out", 0.0f, 0, true, false, 0},
      {"negative time-out", -1.0f, 0, true, false, 0},
      {"3 s, never", 3.0f, -1, true, false, 60},
      {"15 s, never", 15.0f, -1, true, false, 300},
      {"already in front", 3.0f, 0, true, true, 1},
      {"exists but not in front", 3.0f, 0, false, false, 60},
      {"in front during the 37th poll", 3.0f, 36 * 50 + 10, true, true, 37},
      {"in front just after the last poll", 3.0f, 60 * 50 + 1, true, false, 60},
      {"fraction of a poll", 0.01f, 0, true, true, 1},
  };
  for (const WaitCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Desktop fresh;
    desktop = std::move(fresh);
    if (c.appears_at_ms >= 0) {
      desktop.At(static_cast<sim::Millis>(c.appears_at_ms), [this, c] {
        HWND w = desktop.CreateWindow("#32770", "Move", nullptr, nullptr);
        if (c.in_front) desktop.SetForeground(w);
      });
    }
    EXPECT_EQ(WaitForWindow("#32770", "Move", c.timeout), c.result);
    EXPECT_EQ(Pauses(), c.pauses);
    for (const sim::Event& e : desktop.events) {
      if (e.kind == sim::Event::Pause) {
        EXPECT_EQ(e.ms, 50u);
      }
    }
  }
}

TEST_F(Lookup, WaitComparesClassAndWholeTitle) {
  HWND other_title = desktop.CreateWindow("#32770", "Move To", nullptr, nullptr);
  desktop.SetForeground(other_title);
  EXPECT_FALSE(WaitForWindow("#32770", "Move", 3.0f));
  HWND other_class = desktop.CreateWindow("Dialog", "Move", nullptr, nullptr);
  desktop.SetForeground(other_class);
  EXPECT_FALSE(WaitForWindow("#32770", "Move", 3.0f));
  HWND main = desktop.CreateWindow("Outlook Express Browser Class", "Inbox - Outlook Express", nullptr, nullptr);
  desktop.SetForeground(main);
  EXPECT_TRUE(WaitForWindow("Outlook Express Browser Class", nullptr, 3.0f));
}

// Only the first window the lookup returns is compared with the front one.
TEST_F(Lookup, WaitIgnoresASecondMatchingWindowInFront) {
  desktop.CreateWindow("#32770", "Move", nullptr, nullptr);
  HWND second = desktop.CreateWindow("#32770", "Move", nullptr, nullptr);
  desktop.SetForeground(second);
  EXPECT_FALSE(WaitForWindow("#32770", "Move", 3.0f));
}

struct MenuBarCase {
  const char* name;
  bool host, rebar;
  int toolbars;
  bool found;
};

TEST_F(Lookup, MenuBarIsTheThirdToolbarOfTheRebar) {
  const MenuBarCase cases[] = {
      {"whole chain", true, true, 3, true},   {"four toolbars", true, true, 4, true},
      {"two toolbars", true, true, 2, false}, {"no toolbar", true, true, 0, false},
      {"no rebar", true, false, 0, false},    {"no rebar host", false, false, 0, false},
  };
  for (const MenuBarCase& c : cases) {
    SCOPED_TRACE(c.name);
    HWND main = desktop.CreateWindow("Outlook Express Browser Class", "", nullptr, nullptr);
    HWND expected = nullptr;
    desktop.CreateWindow("ToolbarWindow32", "", main, nullptr);  // not inside the rebar
    if (c.host) {
      HWND host = desktop.CreateWindow("SizableRebar", "", main, nullptr);
      if (c.rebar) {
        HWND rebar = desktop.CreateWindow("ReBarWindow32", "", host, nullptr);
        for (int i = 0; i < c.toolbars; ++i) {
          desktop.CreateWindow("Button", "", rebar, nullptr);
          HWND toolbar = desktop.CreateWindow("ToolbarWindow32", "", rebar, nullptr);
          if (i == 2) expected = toolbar;
        }
      }
    }
    EXPECT_EQ(FindMenuBar(main), expected);
    EXPECT_EQ(FindMenuBar(main) != nullptr, c.found);
  }
  EXPECT_EQ(FindMenuBar(nullptr), nullptr);
}

TEST_F(Lookup, MailClientWindowIsFoundByClassWithAnyTitle) {
  EXPECT_EQ(FindMailClientWindow(), nullptr);
  desktop.CreateWindow("Outlook Express Browser", "Outlook Express", nullptr, nullptr);
  EXPECT_EQ(FindMailClientWindow(), nullptr);
  HWND main = desktop.CreateWindow("Outlook Express Browser Class", "Drafts - Outlook Express", nullptr, nullptr);
  EXPECT_EQ(FindMailClientWindow(), main);
  desktop.DestroyWindow(main);
  EXPECT_EQ(FindMailClientWindow(), nullptr);
}

}  // namespace
