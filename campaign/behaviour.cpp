#include "campaign/behaviour.h"

#include <sstream>

namespace campaign {

using mailclient::Dialog;
using sim::Millis;

std::uint64_t Rng::Next() {
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t Rng::Between(std::uint64_t lo, std::uint64_t hi) { return lo + Next() % (hi - lo + 1); }

bool Rng::Percent(unsigned percent) { return Next() % 100 < percent; }

const Dialog kVariedDialogs[5] = {Dialog::NewMailRule, Dialog::MessageRules, Dialog::TypeSpecificWords,
                                  Dialog::Move, Dialog::NewFolder};

namespace {

// A delay that sometimes sits right at a 50 ms poll boundary of a wait,
// where an off-by-one in the waits would show.
Millis Delay(Rng& rng, Millis lo, Millis hi) {
  Millis d = rng.Between(lo, hi);
  if (rng.Percent(30)) d = d / 50 * 50 + rng.Between(0, 2);
  return d < lo ? lo : d;
}

sim::Answer AnyAnswer(Rng& rng) {
  switch (rng.Between(0, 2)) {
    case 0: return sim::Answer::Ok;
    case 1: return sim::Answer::Cancel;
    default: return sim::Answer::Close;
  }
}

const char* AnswerName(sim::Answer a) {
  switch (a) {
    case sim::Answer::Ok: return "OK";
    case sim::Answer::Cancel: return "Cancel";
    case sim::Answer::Close: return "close";
  }
  return "?";
}

const char* MenuBarName(sim::MenuBarState s) {
  switch (s) {
    case sim::MenuBarState::Visible: return "visible";
    case sim::MenuBarState::Hidden: return "hidden";
    case sim::MenuBarState::TwoToolbars: return "two toolbars only";
    case sim::MenuBarState::NoRebarHost: return "no rebar host";
    case sim::MenuBarState::NoRebar: return "no rebar";
  }
  return "?";
}

}  // namespace

Behaviour Generate(std::uint64_t seed, std::uint64_t index) {
  Rng rng(seed * 0x2545F4914F6CDD1Dull + index);
  rng.Next();
  Behaviour b;
  sim::ClientScenario& c = b.client;

  c.running = rng.Percent(65);
  if (!c.running) {
    c.installed = rng.Percent(92);
    const std::uint64_t start = rng.Between(0, 99);
    if (start < 78)
      c.start_ms = Delay(rng, 50, 14000);
    else if (start < 90)
      c.start_ms = rng.Between(14900, 15100);  // around the 15.0 s time-out
    else
      c.start_ms = rng.Between(15001, 25000);
    const std::uint64_t bar = rng.Between(0, 99);
    if (bar < 85)
      c.menu_bar_ms = rng.Between(0, 8000);
    else if (bar < 95)
      c.menu_bar_ms = rng.Between(9800, 10200);  // around the 100 polls
    else
      c.menu_bar_ms = rng.Between(10200, 20000);
    const std::uint64_t q = rng.Between(0, 99);
    b.question = q < 80 ? sim::Answer::Ok : q < 90 ? sim::Answer::Cancel : sim::Answer::Close;
  }

  const std::uint64_t bar = rng.Between(0, 99);
  c.menu_bar = bar < 80   ? sim::MenuBarState::Visible
               : bar < 88 ? sim::MenuBarState::Hidden
               : bar < 92 ? sim::MenuBarState::TwoToolbars
               : bar < 96 ? sim::MenuBarState::NoRebarHost
                          : sim::MenuBarState::NoRebar;
  c.rules_list_first = rng.Percent(40);
  const std::uint64_t ignored = rng.Between(0, 99);
  c.menu_commands_ignored = ignored < 85 ? 0 : ignored < 95 ? 1 : 2;

  for (Dialog d : kVariedDialogs) {
    sim::DialogTiming t;
    const std::uint64_t kind = rng.Between(0, 99);
    if (kind < 82) {
      t.delay_ms = rng.Percent(20) ? 0 : Delay(rng, 1, 400);  // on time
    } else if (kind < 89) {
      t.delay_ms = Delay(rng, 400, 7500);  // late: across one or two waits
    } else if (kind < 94) {
      t.never = true;
    } else {
      t.delay_ms = Delay(rng, 0, 400);
      t.behind = true;
    }
    c.dialogs[d] = t;
  }

  const Millis horizon = c.running ? 16000 : 45000;
  if (rng.Percent(10)) c.steal_front_at = rng.Between(0, horizon);
  if (rng.Percent(7)) c.main_closes_at = rng.Between(1, horizon);
  b.block_input_fails = rng.Percent(8);
  b.answer_delay_ms = rng.Percent(60) ? 0 : rng.Between(1, 4000);
  b.report = AnyAnswer(rng);
  return b;
}

std::string Describe(const Behaviour& b) {
  const sim::ClientScenario& c = b.client;
  std::ostringstream out;
  if (c.running)
    out << "  client running at start\n";
  else
    out << "  client not running; installed " << (c.installed ? "yes" : "no") << ", main window after "
        << c.start_ms << " ms, menu bar " << c.menu_bar_ms << " ms later; start-up question answered "
        << AnswerName(b.question) << "\n";
  out << "  menu bar " << MenuBarName(c.menu_bar) << "; " << (c.rules_list_first ? "rules list first" : "editor first")
      << "; menu commands ignored " << c.menu_commands_ignored << "\n";
  for (Dialog d : kVariedDialogs) {
    auto it = c.dialogs.find(d);
    const sim::DialogTiming t = it == c.dialogs.end() ? sim::DialogTiming{} : it->second;
    out << "  \"" << mailclient::TitleOf(d) << "\": "
        << (t.never ? "never" : (std::to_string(t.delay_ms) + " ms" + (t.behind ? ", behind" : ""))) << "\n";
  }
  if (c.steal_front_at) out << "  another window takes the front at " << *c.steal_front_at << " ms\n";
  if (c.main_closes_at) out << "  the client exits at " << *c.main_closes_at << " ms\n";
  out << "  BlockInput " << (b.block_input_fails ? "fails" : "works") << "; boxes answered after "
      << b.answer_delay_ms << " ms; the report answered " << AnswerName(b.report) << "\n";
  return out.str();
}

}  // namespace campaign
