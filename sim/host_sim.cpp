// The simulated desktop's answers to the setup logic's platform calls. Each
// call is checked the way the platform would check it, recorded with the
// virtual time, and carried out on the current desktop.
#include <cstring>
#include <string>

#include "host/platform.h"
#include "sim/desktop.h"

namespace host {
namespace {

using sim::CurrentDesktop;
using sim::Desktop;
using sim::Event;

bool Matches(const sim::Window& w, LPCSTR class_name, LPCSTR title) {
  if (class_name != nullptr && w.class_name != class_name) return false;
  if (title != nullptr && w.title != title) return false;
  return true;
}

Event Activation(const char* op, HWND window) {
  Event e = sim::MakeEvent(Event::Activation);
  e.op = op;
  e.target = window;
  e.target_title = CurrentDesktop().TitleOf(window);
  return e;
}

}  // namespace

HWND FindWindowA(LPCSTR class_name, LPCSTR window_name) {
  Desktop& d = CurrentDesktop();
  HWND found = nullptr;
  for (HWND h : d.top_level) {
    const sim::Window* w = d.Get(h);
    if (w != nullptr && Matches(*w, class_name, window_name)) {
      found = h;
      break;
    }
  }
  Event e = sim::MakeEvent(Event::Lookup);
  e.op = "FindWindowA";
  e.text = class_name ? class_name : "";
  e.has_title = window_name != nullptr;
  e.title = window_name ? window_name : "";
  e.result = found;
  e.in_front = found != nullptr && found == d.foreground;
  d.Record(e);
  return found;
}

HWND FindWindowExA(HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name) {
  Desktop& d = CurrentDesktop();
  const sim::Window* p = d.Get(parent);
  if (p == nullptr) return nullptr;
  bool past = child_after == nullptr;
  for (HWND h : p->children) {
    if (!past) {
      past = h == child_after;
      continue;
    }
    const sim::Window* w = d.Get(h);
    if (w != nullptr && Matches(*w, class_name, window_name)) return h;
  }
  return nullptr;
}

HWND GetForegroundWindow() { return CurrentDesktop().foreground; }

// The program's thread owns no windows, so it has no active window.
HWND GetActiveWindow() { return nullptr; }

BOOL IsWindowVisible(HWND window) {
  Desktop& d = CurrentDesktop();
  for (const sim::Window* w = d.Get(window); w != nullptr; w = d.Get(w->parent)) {
    if (!w->visible) return FALSE;
    if (w->parent == nullptr) return TRUE;
  }
  return FALSE;
}

BOOL ShowWindow(HWND window, int show_command) {
  Desktop& d = CurrentDesktop();
  Event e = Activation("ShowWindow", window);
  e.show = show_command;
  d.Record(e);
  sim::Window* w = d.Get(window);
  if (w == nullptr) return FALSE;
  const bool was_visible = w->visible;
  if (show_command != 0) w->visible = true;
  return was_visible ? TRUE : FALSE;
}

BOOL SetForegroundWindow(HWND window) {
  Desktop& d = CurrentDesktop();
  d.Record(Activation("SetForegroundWindow", window));
  sim::Window* w = d.Get(window);
  if (w == nullptr) return FALSE;
  d.SetForeground(w->app ? w->app->OnActivate(window) : window);
  return TRUE;
}

// Another process's window cannot be made active or focused by this
// thread: both calls fail and change nothing, as on Windows.
HWND SetActiveWindow(HWND window) {
  CurrentDesktop().Record(Activation("SetActiveWindow", window));
  return nullptr;
}

HWND SetFocus(HWND window) {
  CurrentDesktop().Record(Activation("SetFocus", window));
  return nullptr;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  Desktop& d = CurrentDesktop();
  Event e = sim::MakeEvent(Event::Message);
  e.target = window;
  e.target_title = d.TitleOf(window);
  e.message = message;
  e.wparam = wparam;
  e.lparam = lparam;
  d.Record(e);
  sim::Window* w = d.Get(window);
  if (w != nullptr && w->app != nullptr) w->app->OnMessage(window, message, wparam, lparam);
  return 0;
}

UINT SendInput(UINT count, INPUT* inputs, int size) {
  Desktop& d = CurrentDesktop();
  // The platform refuses a wrong size or anything but one well-formed
  // keyboard event here: nothing is recorded or delivered then.
  if (count != 1 || inputs == nullptr || size != static_cast<int>(sizeof(INPUT))) return 0;
  const INPUT& in = inputs[0];
  const DWORD flags = in.ki.dwFlags;
  if (in.type != INPUT_KEYBOARD || in.ki.wScan != 0 || in.ki.time != 0 || in.ki.dwExtraInfo != 0 ||
      (flags != 0 && flags != KEYEVENTF_KEYUP))
    return 0;
  const bool up = flags == KEYEVENTF_KEYUP;
  const WORD vk = in.ki.wVk;
  if (vk == VK_SHIFT) d.shift_down = !up;
  if (vk == VK_MENU) d.alt_down = !up;

  Event e = sim::MakeEvent(Event::Key);
  e.vk = vk;
  e.up = up;
  e.target = d.foreground;
  e.target_title = d.TitleOf(d.foreground);
  e.locked = d.input_locked;
  d.Record(e);
  if (sim::Window* w = d.Get(d.foreground); w != nullptr && w->app != nullptr) w->app->OnKey(d.foreground, vk, !up);
  return 1;
}

BOOL BlockInput(BOOL block) {
  Desktop& d = CurrentDesktop();
  Event e = sim::MakeEvent(Event::Lock);
  e.locked = block != FALSE;
  d.Record(e);
  if (d.block_input_fails) return FALSE;
  d.input_locked = block != FALSE;
  return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  Desktop& d = CurrentDesktop();
  sim::Box box;
  box.time = d.now;
  box.owner = owner;
  if (const sim::Window* w = d.Get(owner)) box.owner_class = w->class_name;
  box.text = text ? text : "";
  box.caption = caption ? caption : "Error";
  box.style = style;
  box.input_locked = d.input_locked;

  Event e = sim::MakeEvent(Event::Box);
  e.target = owner;
  e.text = box.text;
  e.title = box.caption;
  d.Record(e);

  if (owner != nullptr && d.Get(owner) == nullptr) {
    box.answer = 0;  // an owner that is no window: the box is not shown
    d.boxes.push_back(box);
    return 0;
  }
  sim::Answer answer = sim::Answer::Ok;
  if (d.user) {
    answer = d.user(box);
  } else if (!d.answers.empty()) {
    answer = d.answers.front();
    d.answers.pop_front();
  }
  d.Advance(d.answer_delay_ms);
  const bool ok_cancel = (style & 0xF) == MB_OKCANCEL;
  switch (answer) {
    case sim::Answer::Ok: box.answer = IDOK; break;
    case sim::Answer::Cancel: box.answer = ok_cancel ? IDCANCEL : IDOK; break;
    // Closing an OK-only box counts as OK; closing OK/Cancel as Cancel.
    case sim::Answer::Close: box.answer = ok_cancel ? IDCANCEL : IDOK; break;
  }
  d.boxes.push_back(box);
  return box.answer;
}

UINT WinExec(LPCSTR command_line, UINT show_command) {
  Desktop& d = CurrentDesktop();
  const std::string line = command_line ? command_line : "";
  bool started = false;
  for (sim::App* app : d.apps) {
    if (app->OnLaunch(line)) {
      started = true;
      break;
    }
  }
  Event e = sim::MakeEvent(Event::Launch);
  e.text = line;
  e.show = static_cast<int>(show_command);
  e.result = started ? reinterpret_cast<HWND>(1) : nullptr;
  d.Record(e);
  constexpr UINT kErrorFileNotFound = 2;
  constexpr UINT kStarted = 33;
  return started ? kStarted : kErrorFileNotFound;
}

void Sleep(DWORD milliseconds) {
  Desktop& d = CurrentDesktop();
  Event e = sim::MakeEvent(Event::Pause);
  e.ms = milliseconds;
  d.Record(e);
  d.Advance(milliseconds);
}

void exit(int status) {
  Desktop& d = CurrentDesktop();
  Event e = sim::MakeEvent(Event::Exit);
  e.status = status;
  d.Record(e);
  d.exited = true;
  d.exit_status = status;
  d.exit_time = d.now;
  throw sim::ProcessExit{status};
}

}  // namespace host
