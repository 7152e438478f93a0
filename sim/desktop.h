// A simulated Windows desktop with a virtual clock, for running the setup
// logic on Linux: top-level windows with children, a foreground window, an
// input stream that records every synthesized event, message boxes answered
// by a scripted user, program launch, the input lock, and a process exit
// that the caller observes. The host backend in host_sim.cpp answers the
// logic's platform calls from the desktop set by SetCurrentDesktop.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/platform.h"

namespace sim {

using Millis = std::uint64_t;

// An application that owns windows on the desktop and reacts to what they
// receive. The simulated mail client is one.
struct App {
  virtual ~App() = default;
  virtual void OnKey(HWND window, WORD vk, bool down) = 0;
  virtual void OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
  // Asked to bring `window` to the front; returns the window that really
  // comes to the front (an owner with a modal dialog open yields to it).
  virtual HWND OnActivate(HWND window) = 0;
  // WinExec with this command line; returns true when it started the app.
  virtual bool OnLaunch(const std::string& command_line) = 0;
};

struct Window {
  std::string class_name;
  std::string title;
  HWND parent = nullptr;
  std::vector<HWND> children;
  bool visible = true;
  bool alive = true;
  App* app = nullptr;  // null: a window of some other program
};

// Everything the program did, in order, with the virtual time it happened.
struct Event {
  enum Kind {
    Key,         // SendInput: vk, up; target = foreground window then
    Message,     // SendMessageA: target, message, wparam, lparam
    Activation,  // ShowWindow/SetForegroundWindow/SetActiveWindow/SetFocus: op, target
    Lock,        // BlockInput: locked
    Launch,      // WinExec: text = command line, show, started
    Box,         // MessageBoxA: see boxes
    Lookup,      // FindWindowA: text = class, title; result
    Pause,       // Sleep: ms
    Exit,        // process exit: status
  } kind = Key;
  Millis time = 0;
  std::string op;
  HWND target = nullptr;
  std::string target_title;  // title of the target window at the time
  WORD vk = 0;
  bool up = false;
  UINT message = 0;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  bool locked = false;
  std::string text;
  std::string title;
  bool has_title = false;
  HWND result = nullptr;
  bool in_front = false;  // Lookup: the result was the foreground window
  DWORD ms = 0;
  int status = 0;
  int show = 0;
};

inline Event MakeEvent(Event::Kind kind) {
  Event e;
  e.kind = kind;
  return e;
}

struct Box {
  Millis time = 0;
  HWND owner = nullptr;
  std::string owner_class;  // "" when there is no owner
  std::string text;
  std::string caption;
  UINT style = 0;
  bool input_locked = false;  // the user could not have clicked it
  int answer = 0;
};

// How the scripted user answers a message box.
enum class Answer { Ok, Cancel, Close };

// Thrown by the simulated process exit so that the caller regains control.
struct ProcessExit {
  int status;
};
// Thrown when the run has gone on far longer than any run can (a hang).
struct Runaway {};

struct Desktop {
  Desktop();

  // ---- Windows ----
  HWND CreateWindow(const std::string& class_name, const std::string& title, HWND parent, App* app,
                    bool visible = true);
  void DestroyWindow(HWND window);
  Window* Get(HWND window);  // null for a null, unknown or destroyed handle
  void SetForeground(HWND window);
  std::string TitleOf(HWND window);

  // ---- Clock ----
  Millis now = 0;
  // Runs `what` when the clock reaches `at` (during a pause of the program).
  void At(Millis at, std::function<void()> what);
  void Advance(Millis ms);

  // ---- The scripted user ----
  std::deque<Answer> answers;  // one per box; when empty, OK
  Millis answer_delay_ms = 0;  // time the user takes to read a box
  // Replaces the scripted user (the interactive main job answers here).
  std::function<Answer(const Box&)> user;

  // ---- State ----
  std::deque<Window> windows;  // handle n is windows[n - 1]
  std::vector<HWND> top_level;  // creation order: FindWindowA returns the first match
  HWND foreground = nullptr;
  HWND console = nullptr;  // the program's own console window, in front at start
  bool input_locked = false;
  bool shift_down = false;
  bool alt_down = false;
  bool block_input_fails = false;  // BlockInput returns FALSE and does nothing
  std::vector<App*> apps;          // asked in turn to start on WinExec

  // ---- What happened ----
  std::vector<Event> events;
  std::vector<Box> boxes;
  bool exited = false;
  int exit_status = -1;
  Millis exit_time = 0;

  // Hard limits that turn a hang into a test failure.
  Millis runaway_ms = 10 * 60 * 1000;

  void Record(Event e);

 private:
  std::multimap<Millis, std::function<void()>> timers_;
};

void SetCurrentDesktop(Desktop* desktop);
Desktop& CurrentDesktop();

// Runs the setup program's entry routine on `desktop` until the process
// exits. Returns true when it exited; false when the entry routine returned
// without exiting (which the program must never do) .
bool RunProgram(Desktop& desktop);

// Convenience views of the record.
std::vector<const Event*> KeyEvents(const Desktop& d);
int CountEvents(const Desktop& d, Event::Kind kind);

}  // namespace sim
