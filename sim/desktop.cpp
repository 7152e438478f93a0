#include "sim/desktop.h"

#include <utility>

#include "run/setup_run.h"

namespace sim {
namespace {

Desktop* g_current = nullptr;

HWND HandleOf(std::size_t index) { return reinterpret_cast<HWND>(index + 1); }

}  // namespace

Desktop::Desktop() {
  console = CreateWindow("ConsoleWindowClass", "bulk-rule-setup", nullptr, nullptr);
  foreground = console;
}

HWND Desktop::CreateWindow(const std::string& class_name, const std::string& title, HWND parent, App* app,
                           bool visible) {
  Window w;
  w.class_name = class_name;
  w.title = title;
  w.parent = parent;
  w.app = app;
  w.visible = visible;
  windows.push_back(w);
  HWND handle = HandleOf(windows.size() - 1);
  if (Window* p = Get(parent))
    p->children.push_back(handle);
  else
    top_level.push_back(handle);
  return handle;
}

void Desktop::DestroyWindow(HWND window) {
  Window* w = Get(window);
  if (w == nullptr) return;
  w->alive = false;
  for (HWND child : w->children) DestroyWindow(child);
  if (foreground == window) foreground = nullptr;
}

Window* Desktop::Get(HWND window) {
  const auto n = reinterpret_cast<std::uintptr_t>(window);
  if (n == 0 || n > windows.size()) return nullptr;
  Window& w = windows[n - 1];
  return w.alive ? &w : nullptr;
}

void Desktop::SetForeground(HWND window) {
  if (Get(window) != nullptr) foreground = window;
}

std::string Desktop::TitleOf(HWND window) {
  Window* w = Get(window);
  return w ? w->title : std::string();
}

void Desktop::At(Millis at, std::function<void()> what) { timers_.emplace(at, std::move(what)); }

void Desktop::Advance(Millis ms) {
  const Millis until = now + ms;
  while (!timers_.empty() && timers_.begin()->first <= until) {
    auto first = timers_.begin();
    now = std::max(now, first->first);
    std::function<void()> what = std::move(first->second);
    timers_.erase(first);
    what();
  }
  now = until;
  if (now > runaway_ms) throw Runaway{};
}

void Desktop::Record(Event e) {
  e.time = now;
  events.push_back(std::move(e));
}

void SetCurrentDesktop(Desktop* desktop) { g_current = desktop; }

Desktop& CurrentDesktop() { return *g_current; }

bool RunProgram(Desktop& desktop) {
  SetCurrentDesktop(&desktop);
  try {
    RunRuleSetup();
  } catch (const ProcessExit&) {
    SetCurrentDesktop(nullptr);
    return true;
  } catch (...) {
    SetCurrentDesktop(nullptr);
    throw;
  }
  SetCurrentDesktop(nullptr);
  return false;
}

std::vector<const Event*> KeyEvents(const Desktop& d) {
  std::vector<const Event*> keys;
  for (const Event& e : d.events)
    if (e.kind == Event::Key) keys.push_back(&e);
  return keys;
}

int CountEvents(const Desktop& d, Event::Kind kind) {
  int n = 0;
  for (const Event& e : d.events) n += e.kind == kind;
  return n;
}

}  // namespace sim
