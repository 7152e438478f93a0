#include "sim/timeline.h"

#include <cstdio>

namespace sim {
namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string WaitName(const Event& e) { return e.has_title ? Quoted(e.title) : e.text; }

}  // namespace

std::vector<Phase> Timeline(const Desktop& d) {
  std::vector<Phase> phases;
  const std::vector<Event>& ev = d.events;
  std::size_t i = 0;
  while (i < ev.size()) {
    const Event& e = ev[i];
    Phase p;
    p.start = e.time;
    std::size_t next = i + 1;
    if (e.kind == Event::Key || (e.kind == Event::Pause && e.ms == 1)) {
      // A burst of key events with their 1 ms pauses.
      int keys = 0;
      std::string target;
      std::size_t j = i;
      for (; j < ev.size(); ++j) {
        if (ev[j].kind == Event::Key) {
          ++keys;
          if (target.empty()) target = ev[j].target_title;
        } else if (!(ev[j].kind == Event::Pause && ev[j].ms == 1)) {
          break;
        }
      }
      next = j;
      p.what = std::to_string(keys) + " key events to " + Quoted(target);
    } else if (e.kind == Event::Pause && (e.ms == 50 || e.ms == 100) && i + 1 < ev.size() &&
               ev[i + 1].kind == Event::Lookup) {
      // Polls: pause, look up, pause, look up ... for one window.
      const Event& first = ev[i + 1];
      int polls = 0;
      bool found = false;
      std::size_t j = i;
      while (j + 1 < ev.size() && ev[j].kind == Event::Pause && ev[j].ms == e.ms && ev[j + 1].kind == Event::Lookup &&
             ev[j + 1].text == first.text && ev[j + 1].title == first.title && !found) {
        ++polls;
        found = e.ms == 50 && ev[j + 1].in_front;
        j += 2;
      }
      next = j;
      if (e.ms == 100)
        p.what = "poll for the menu bar: " + std::to_string(polls) + " polls";
      else
        p.what = "wait for " + WaitName(first) + ": " + std::to_string(polls) + " polls, " +
                 (found ? "in front" : "not in front");
    } else if (e.kind == Event::Pause) {
      p.what = "pause " + std::to_string(e.ms) + " ms";
    } else if (e.kind == Event::Lock) {
      p.what = e.locked ? "input locked" : "input unlocked";
    } else if (e.kind == Event::Launch) {
      p.what = "launch " + e.text + (e.result ? "" : " (failed)");
    } else if (e.kind == Event::Box) {
      p.what = "message box";
    } else if (e.kind == Event::Exit) {
      p.what = "exit, status " + std::to_string(e.status);
    } else if (e.kind == Event::Message) {
      p.what = "button-down on " + Quoted(e.target_title);
    } else if (e.kind == Event::Activation) {
      std::size_t j = i;
      while (j < ev.size() && ev[j].kind == Event::Activation) ++j;
      next = j;
      p.what = "activate " + Quoted(e.target_title);
    } else {
      p.what = "look up " + WaitName(e);
    }
    // A phase lasts until the next one begins.
    p.length = (next < ev.size() ? ev[next].time : ev.back().time) - p.start;
    phases.push_back(p);
    i = next;
  }
  return phases;
}

std::string FormatTimeline(const std::vector<Phase>& phases) {
  std::string out;
  char line[64];
  for (const Phase& p : phases) {
    std::snprintf(line, sizeof line, "%8llu ms  %+6lld  ", static_cast<unsigned long long>(p.start),
                  static_cast<long long>(p.length));
    out += line + p.what + "\n";
  }
  return out;
}

}  // namespace sim
