// The mail client on the simulated desktop: its windows (main window, rebar
// host, rebar, toolbars, dialogs) and its reactions, driven by the shared
// dialog model, with knobs for every way a real client can misbehave.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "mailclient/model.h"
#include "sim/desktop.h"

namespace sim {

struct DialogTiming {
  Millis delay_ms = 20;  // from the key that opens it to its window
  bool never = false;    // the window never shows
  bool behind = false;   // it shows, but does not come to the front
  bool stuck = false;    // it shows, but ignores every key (a hung dialog)
};

enum class MenuBarState { Visible, Hidden, TwoToolbars, NoRebarHost, NoRebar };

struct ClientScenario {
  bool installed = true;
  bool running = true;       // already running when the program starts
  Millis start_ms = 2500;    // from the launch to the main window
  Millis menu_bar_ms = 1500;  // from the main window to the menu bar
  MenuBarState menu_bar = MenuBarState::Visible;
  bool rules_list_first = false;   // a rule exists, so the list comes first
  int menu_commands_ignored = 0;   // the first N menu commands do nothing
  std::map<mailclient::Dialog, DialogTiming> dialogs;
  std::optional<Millis> steal_front_at;  // another program's window comes to the front
  std::optional<Millis> main_closes_at;  // the client exits
};

class SimMailClient : public App {
 public:
  SimMailClient(Desktop& desktop, const ClientScenario& scenario);

  void OnKey(HWND window, WORD vk, bool down) override;
  void OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) override;
  HWND OnActivate(HWND window) override;
  bool OnLaunch(const std::string& command_line) override;

  mailclient::Model model;
  HWND main_window() const { return main_; }
  HWND menu_bar() const { return menu_bar_; }
  HWND thief() const { return thief_; }
  bool running() const { return main_ != nullptr; }
  int launches = 0;

 private:
  void CreateMainWindow(bool to_front);
  void CreateMenuBar();
  void Exit();
  void Apply(const std::vector<mailclient::Change>& changes);
  void ShowDialog(mailclient::Dialog dialog);
  HWND TopWindow();
  mailclient::Dialog DialogOf(HWND window);

  Desktop& desktop_;
  ClientScenario scenario_;
  HWND main_ = nullptr;
  HWND menu_bar_ = nullptr;
  HWND thief_ = nullptr;
  std::map<mailclient::Dialog, HWND> dialogs_;
};

}  // namespace sim
