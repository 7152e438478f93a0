// Running the setup program on a fresh simulated desktop, and reading what
// happened back in forms that tests can compare with tables.
#pragma once

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "sim/desktop.h"
#include "sim/mail_client_sim.h"

namespace scenario {

struct Scenario {
  sim::ClientScenario client;
  std::deque<sim::Answer> answers;
  bool block_input_fails = false;
};

struct Result {
  std::unique_ptr<sim::Desktop> desktop;
  std::unique_ptr<sim::SimMailClient> client;
  bool exited = false;

  const std::vector<sim::Box>& boxes() const { return desktop->boxes; }
  int status() const { return desktop->exit_status; }
  // Every key event as "Tab", "^Shift" (down), "vShift" (up) pairs folded
  // into strokes: "Tab", "Shift{", "}", letters; see KeyTrace.
  std::string Keys() const;
  // How many key events went to the window with this title.
  int KeysTo(const std::string& title) const;
  // How many key-downs went to it (a key-up can follow its key-down into a
  // window that has just closed).
  int KeyDownsTo(const std::string& title) const;
  int KeyCount() const;
  // Polls of FindWindowA for this class and title, in a row, last run.
  int Lookups(const std::string& class_name, const char* title) const;
  const mailclient::Rule* Rule(const std::string& name = "Bulk Mail Rule") const;
};

Result Play(const Scenario& setup);

// Key events written compactly: a stroke (down, up) as its name ("Tab",
// "B", ":"), Shift and Alt changes as "Shift{" / "}Shift", anything
// else as "+X" / "-X".
std::string KeyTrace(const std::vector<const sim::Event*>& keys);

extern const char* const kSuccessText;
extern const char* const kNoMenuBarText;
extern const char* const kNoEditorText;
extern const char* const kLaunchFailedText;
extern const char* const kLaunchQuestion;
extern const char* const kLaunchCaption;

}  // namespace scenario
