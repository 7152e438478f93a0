#include "sim/mail_client_sim.h"

#include <algorithm>

namespace sim {

using mailclient::Change;
using mailclient::Dialog;

namespace {

constexpr const char* kLaunchLine = "\"C:\\Program Files\\Outlook Express\\msimn.exe\"";
constexpr const char* kMainClass = "Outlook Express Browser Class";
constexpr const char* kDialogClass = "#32770";
constexpr UINT kButtonDown = 0x0201;

}  // namespace

SimMailClient::SimMailClient(Desktop& desktop, const ClientScenario& scenario)
    : model(mailclient::MakeModel(scenario.rules_list_first)), desktop_(desktop), scenario_(scenario) {
  model.menu_commands_to_ignore = scenario.menu_commands_ignored;
  desktop_.apps.push_back(this);
  if (scenario_.running) {
    CreateMainWindow(false);
    CreateMenuBar();
  }
  if (scenario_.steal_front_at) {
    desktop_.At(*scenario_.steal_front_at, [this] {
      thief_ = desktop_.CreateWindow("Notepad", "Untitled - Notepad", nullptr, nullptr);
      desktop_.SetForeground(thief_);
    });
  }
  if (scenario_.main_closes_at) desktop_.At(*scenario_.main_closes_at, [this] { Exit(); });
}

void SimMailClient::CreateMainWindow(bool to_front) {
  main_ = desktop_.CreateWindow(kMainClass, "Inbox - Outlook Express", nullptr, this);
  if (to_front) desktop_.SetForeground(main_);
}

void SimMailClient::CreateMenuBar() {
  if (main_ == nullptr) return;
  const MenuBarState state = scenario_.menu_bar;
  // Other children come first, so the lookups must pick by class.
  desktop_.CreateWindow("Outlook Express Folder View", "", main_, this);
  if (state == MenuBarState::NoRebarHost) return;
  HWND host = desktop_.CreateWindow("SizableRebar", "", main_, this);
  if (state == MenuBarState::NoRebar) return;
  HWND rebar = desktop_.CreateWindow("ReBarWindow32", "", host, this);
  desktop_.CreateWindow("Edit", "", rebar, this);
  desktop_.CreateWindow("ToolbarWindow32", "Standard Buttons", rebar, this);
  desktop_.CreateWindow("ToolbarWindow32", "Views", rebar, this);
  if (state == MenuBarState::TwoToolbars) return;
  menu_bar_ = desktop_.CreateWindow("ToolbarWindow32", "Menu Bar", rebar, this, state != MenuBarState::Hidden);
}

void SimMailClient::Exit() {
  if (main_ == nullptr) return;
  for (auto& [dialog, window] : dialogs_) desktop_.DestroyWindow(window);
  dialogs_.clear();
  desktop_.DestroyWindow(main_);
  main_ = nullptr;
  menu_bar_ = nullptr;
  model.stack.clear();
}

bool SimMailClient::OnLaunch(const std::string& command_line) {
  if (!scenario_.installed || command_line != kLaunchLine) return false;
  ++launches;
  if (main_ != nullptr) return true;
  desktop_.At(desktop_.now + scenario_.start_ms, [this] {
    if (main_ != nullptr) return;
    CreateMainWindow(true);
    desktop_.At(desktop_.now + scenario_.menu_bar_ms, [this] { CreateMenuBar(); });
  });
  return true;
}

Dialog SimMailClient::DialogOf(HWND window) {
  for (auto& [dialog, w] : dialogs_)
    if (w == window) return dialog;
  return Dialog::Main;
}

// Keyboard input goes to the client's one user-interface thread while any
// of its windows is in front, and that thread hands each key to its active
// dialog: keys typed while a dialog is still opening reach it once it is
// up, as they do on Windows.
void SimMailClient::OnKey(HWND window, WORD vk, bool down) {
  if (window != main_ && DialogOf(window) == Dialog::Main) return;  // a child or stale window
  const Dialog active = mailclient::Active(model);
  if (active != Dialog::Main && scenario_.dialogs[active].stuck) return;
  Apply(mailclient::Deliver(model, active, {vk, down, desktop_.shift_down, desktop_.alt_down}));
}

void SimMailClient::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (window != menu_bar_ || message != kButtonDown || (wparam & 1) == 0) return;
  const int x = static_cast<int>(lparam & 0xFFFF);
  const int y = static_cast<int>((lparam >> 16) & 0xFFFF);
  Apply(mailclient::MenuBarButtonDown(model, x, y));
}

HWND SimMailClient::TopWindow() {
  for (auto it = model.stack.rbegin(); it != model.stack.rend(); ++it) {
    auto shown = dialogs_.find(*it);
    if (shown != dialogs_.end()) return shown->second;
  }
  return main_;
}

// An owner with a modal dialog open hands the activation on to the dialog.
HWND SimMailClient::OnActivate(HWND window) { return window == main_ ? TopWindow() : window; }

void SimMailClient::ShowDialog(Dialog dialog) {
  if (std::find(model.stack.begin(), model.stack.end(), dialog) == model.stack.end()) return;
  if (dialogs_.count(dialog) != 0 || main_ == nullptr) return;
  HWND window = desktop_.CreateWindow(kDialogClass, mailclient::TitleOf(dialog), nullptr, this);
  dialogs_[dialog] = window;
  if (!scenario_.dialogs[dialog].behind) desktop_.SetForeground(window);
}

void SimMailClient::Apply(const std::vector<Change>& changes) {
  for (const Change& change : changes) {
    if (change.kind == Change::Closed) {
      auto shown = dialogs_.find(change.dialog);
      if (shown == dialogs_.end()) continue;
      const bool was_front = desktop_.foreground == shown->second;
      desktop_.DestroyWindow(shown->second);
      dialogs_.erase(shown);
      if (was_front) desktop_.SetForeground(TopWindow());
      continue;
    }
    const DialogTiming timing = scenario_.dialogs[change.dialog];
    const Dialog dialog = change.dialog;
    if (timing.never) {
      // The client fails to open it at all.
      Apply(mailclient::Dismiss(model, dialog));
      continue;
    }
    if (timing.delay_ms == 0)
      ShowDialog(dialog);
    else
      desktop_.At(desktop_.now + timing.delay_ms, [this, dialog] { ShowDialog(dialog); });
  }
}

}  // namespace sim
