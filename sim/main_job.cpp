// The simulated desktop as a program: runs the setup program's own logic
// against the simulated mail client, shows each message box in the terminal
// for the person at the keyboard to answer, and at the end prints the rules
// the client holds and a timeline of the run in virtual milliseconds.
// The options pick the desktop's scenario; the setup program itself takes
// none and prints nothing.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "sim/desktop.h"
#include "sim/mail_client_sim.h"
#include "sim/timeline.h"

namespace {

using mailclient::Dialog;

const char* const kUsage =
    "usage: bulk-rule-setup-sim [scenario options]\n"
    "Runs the setup on a simulated desktop with the mail client already running.\n"
    "  --client-absent         the client is not running: the setup asks to start it\n"
    "  --not-installed         ... and it is not installed either\n"
    "  --slow-start MS         the client's main window takes MS ms to appear (default 2500)\n"
    "  --menu-bar STATE        hidden | two-toolbars | no-rebar | no-rebar-host\n"
    "  --rules-list-first      a rule exists already, so the rules list comes up first\n"
    "  --menu-ignored N        the client ignores the first N menu commands\n"
    "  --never DIALOG          that dialog never comes up\n"
    "  --late DIALOG MS        that dialog comes up MS ms late\n"
    "  --behind DIALOG         that dialog comes up behind\n"
    "  --stuck DIALOG          that dialog comes up and ignores every key\n"
    "  --steal-front MS        another program's window comes to the front at MS ms\n"
    "  --main-closes MS        the client exits at MS ms\n"
    "  --lock-fails            locking the keyboard and mouse fails\n"
    "  --user-cancels          answer Cancel to the start-up question without asking\n"
    "DIALOG: editor | rules-list | words | move | new-folder\n";

bool ParseDialog(const std::string& name, Dialog& out) {
  const std::pair<const char*, Dialog> names[] = {{"editor", Dialog::NewMailRule},
                                                  {"rules-list", Dialog::MessageRules},
                                                  {"words", Dialog::TypeSpecificWords},
                                                  {"move", Dialog::Move},
                                                  {"new-folder", Dialog::NewFolder}};
  for (const auto& [n, d] : names)
    if (name == n) {
      out = d;
      return true;
    }
  return false;
}

bool ParseMenuBar(const std::string& name, sim::MenuBarState& out) {
  const std::pair<const char*, sim::MenuBarState> names[] = {{"hidden", sim::MenuBarState::Hidden},
                                                             {"two-toolbars", sim::MenuBarState::TwoToolbars},
                                                             {"no-rebar", sim::MenuBarState::NoRebar},
                                                             {"no-rebar-host", sim::MenuBarState::NoRebarHost}};
  for (const auto& [n, s] : names)
    if (name == n) {
      out = s;
      return true;
    }
  return false;
}

std::string Escaped(const std::string& s) {
  std::string out;
  for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out;
}

void PrintBox(const sim::Box& box, sim::Millis now) {
  std::printf("\n+--- message box at %llu ms, owner: %s, caption: \"%s\", buttons: %s\n",
              static_cast<unsigned long long>(now), box.owner_class.empty() ? "none" : box.owner_class.c_str(),
              Escaped(box.caption).c_str(), (box.style & 0xF) == 1 ? "OK Cancel" : "OK");
  std::string line;
  for (char c : box.text + "\n") {
    if (c == '\n') {
      std::printf("| %s\n", line.c_str());
      line.clear();
    } else {
      line += c;
    }
  }
  std::printf("+---%s\n", box.input_locked ? " (keyboard and mouse still locked!)" : "");
}

sim::Answer AskPerson(const sim::Box& box, sim::Millis now, bool cancel_question) {
  PrintBox(box, now);
  const bool ok_cancel = (box.style & 0xF) == 1;
  if (ok_cancel && cancel_question) {
    std::printf("(answered Cancel)\n");
    return sim::Answer::Cancel;
  }
  if (!isatty(STDIN_FILENO)) {
    std::printf("(no terminal: OK)\n");
    return sim::Answer::Ok;
  }
  std::printf(ok_cancel ? "Enter for OK, c then Enter for Cancel: " : "Enter for OK: ");
  std::fflush(stdout);
  std::string answer;
  if (!std::getline(std::cin, answer)) return sim::Answer::Ok;
  return ok_cancel && !answer.empty() && (answer[0] == 'c' || answer[0] == 'C') ? sim::Answer::Cancel
                                                                                : sim::Answer::Ok;
}

}  // namespace

int main(int argc, char** argv) {
  sim::ClientScenario scenario;
  bool lock_fails = false, cancel_question = false;
  for (int i = 1; i < argc; ++i) {
    const std::string opt = argv[i];
    auto value = [&](const char* what) -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs %s\n%s", opt.c_str(), what, kUsage);
        std::exit(2);
      }
      return argv[++i];
    };
    auto dialog = [&]() -> sim::DialogTiming& {
      Dialog d;
      const std::string name = value("a dialog");
      if (!ParseDialog(name, d)) {
        std::fprintf(stderr, "unknown dialog %s\n%s", name.c_str(), kUsage);
        std::exit(2);
      }
      return scenario.dialogs[d];
    };
    if (opt == "--client-absent") {
      scenario.running = false;
    } else if (opt == "--not-installed") {
      scenario.running = false;
      scenario.installed = false;
    } else if (opt == "--slow-start") {
      scenario.running = false;
      scenario.start_ms = std::strtoull(value("milliseconds").c_str(), nullptr, 10);
    } else if (opt == "--menu-bar") {
      if (!ParseMenuBar(value("a state"), scenario.menu_bar)) {
        std::fprintf(stderr, "unknown menu bar state\n%s", kUsage);
        return 2;
      }
    } else if (opt == "--rules-list-first") {
      scenario.rules_list_first = true;
    } else if (opt == "--menu-ignored") {
      scenario.menu_commands_ignored = std::atoi(value("a count").c_str());
    } else if (opt == "--never") {
      dialog().never = true;
    } else if (opt == "--late") {
      sim::DialogTiming& t = dialog();
      t.delay_ms = std::strtoull(value("milliseconds").c_str(), nullptr, 10);
    } else if (opt == "--behind") {
      dialog().behind = true;
    } else if (opt == "--stuck") {
      dialog().stuck = true;
    } else if (opt == "--steal-front") {
      scenario.steal_front_at = std::strtoull(value("milliseconds").c_str(), nullptr, 10);
    } else if (opt == "--main-closes") {
      scenario.main_closes_at = std::strtoull(value("milliseconds").c_str(), nullptr, 10);
    } else if (opt == "--lock-fails") {
      lock_fails = true;
    } else if (opt == "--user-cancels") {
      cancel_question = true;
    } else if (opt == "--help" || opt == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    } else {
      std::fprintf(stderr, "unknown option %s\n%s", opt.c_str(), kUsage);
      return 2;
    }
  }

  sim::Desktop desktop;
  desktop.block_input_fails = lock_fails;
  sim::SimMailClient client(desktop, scenario);
  desktop.user = [&](const sim::Box& box) { return AskPerson(box, desktop.now, cancel_question); };

  std::printf("Simulated desktop: mail client %s. Running the bulk mail rule setup...\n",
              scenario.running ? "running" : (scenario.installed ? "not running" : "not installed"));
  bool exited = false;
  try {
    exited = sim::RunProgram(desktop);
  } catch (const sim::Runaway&) {
    std::printf("\nThe setup was still running after %llu virtual ms: stopped.\n",
                static_cast<unsigned long long>(desktop.now));
    return 3;
  }
  if (!exited) {
    std::printf("\nThe setup returned without ending its process.\n");
    return 3;
  }

  std::printf("\nThe setup ended with exit status %d after %llu virtual ms.\n", desktop.exit_status,
              static_cast<unsigned long long>(desktop.exit_time));
  std::printf("\nMail rules the client now holds:\n");
  if (client.model.rules.empty()) std::printf("  (none)\n");
  for (const mailclient::Rule& rule : client.model.rules) std::printf("  %s\n", mailclient::Describe(rule).c_str());
  if (!client.model.stack.empty())
    std::printf("Dialog still open in the client: \"%s\"\n", mailclient::TitleOf(client.model.stack.back()));
  std::printf("\nTimeline (virtual ms from the start, length):\n%s",
              sim::FormatTimeline(sim::Timeline(desktop)).c_str());
  return desktop.exit_status;
}
