// fault_campaign: runs thousands of generated client behaviours through the
// setup program on the simulated desktop and checks every run.
//
//   fault_campaign [--schedules N] [--seed S] [--only I] [--verbose]
//
//   --schedules N  how many behaviours to run (default 5000)
//   --seed S       the campaign's seed (default 1); schedule i of seed S is
//                  the same behaviour on every machine
//   --only I       run schedule I alone and describe it and its run
//   --verbose      describe every broken run in full (the first 5 always are)
//
// Prints the outcomes seen, then `schedules: N, violations: V, seed: S`;
// exits 1 when any run broke an invariant, 2 on a bad command line.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "campaign/behaviour.h"
#include "campaign/checks.h"
#include "campaign/reference.h"

namespace {

using campaign::Behaviour;
using campaign::Expectation;

std::string Short(const std::string& text) {
  std::string s = text.substr(0, text.find('\n'));
  return s.size() > 60 ? s.substr(0, 57) + "..." : s;
}

std::string OutcomeOf(const campaign::RunRecord& r) {
  if (r.runaway) return "(never ended)";
  for (const sim::Box& box : r.desktop->boxes)
    if (box.style != 1) return Short(box.text);
  return "start-up question declined";
}

void Explain(std::uint64_t index, const Behaviour& b, const Expectation& e, const campaign::RunRecord& r,
             const std::vector<std::string>& problems) {
  std::printf("schedule %llu:\n%s", static_cast<unsigned long long>(index), campaign::Describe(b).c_str());
  if (e.determined)
    std::printf("  expected: %s, status %d, end at %llu ms\n",
                e.cancelled ? "no report (declined)" : ("\"" + Short(e.report_text) + "\"").c_str(), e.status,
                static_cast<unsigned long long>(e.exit_time));
  else
    std::printf("  expected: not followed in detail (%s)\n", e.undetermined_because.c_str());
  std::printf("  ran: %s, status %d, end at %llu ms, %zu key events\n", OutcomeOf(r).c_str(),
              r.desktop->exit_status, static_cast<unsigned long long>(r.desktop->exit_time),
              sim::KeyEvents(*r.desktop).size());
  for (const std::string& p : problems) std::printf("  VIOLATION: %s\n", p.c_str());
}

bool ParseNumber(const char* text, std::uint64_t& out) {
  char* end = nullptr;
  out = std::strtoull(text, &end, 10);
  return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  std::uint64_t schedules = 5000;
  std::uint64_t seed = 1;
  std::uint64_t only = 0;
  bool has_only = false;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const bool has_value = i + 1 < argc;
    if (std::strcmp(argv[i], "--schedules") == 0 && has_value && ParseNumber(argv[i + 1], schedules)) {
      ++i;
    } else if (std::strcmp(argv[i], "--seed") == 0 && has_value && ParseNumber(argv[i + 1], seed)) {
      ++i;
    } else if (std::strcmp(argv[i], "--only") == 0 && has_value && ParseNumber(argv[i + 1], only)) {
      has_only = true;
      ++i;
    } else if (std::strcmp(argv[i], "--verbose") == 0) {
      verbose = true;
    } else {
      std::fprintf(stderr, "usage: %s [--schedules N] [--seed S] [--only I] [--verbose]\n", argv[0]);
      return 2;
    }
  }

  const std::uint64_t first = has_only ? only : 0;
  const std::uint64_t count = has_only ? 1 : schedules;
  std::uint64_t violations = 0;
  std::uint64_t undetermined = 0;
  std::map<std::string, std::uint64_t> outcomes;
  for (std::uint64_t i = first; i < first + count; ++i) {
    const Behaviour b = campaign::Generate(seed, i);
    const Expectation e = campaign::Predict(b);
    const campaign::RunRecord r = campaign::RunBehaviour(b);
    const std::vector<std::string> problems = campaign::Check(b, e, r);
    ++outcomes[OutcomeOf(r)];
    if (!e.determined) ++undetermined;
    if (!problems.empty()) ++violations;
    if (has_only || (!problems.empty() && (verbose || violations <= 5))) Explain(i, b, e, r, problems);
  }

  std::printf("outcomes:\n");
  for (const auto& [outcome, n] : outcomes)
    std::printf("  %6llu  %s\n", static_cast<unsigned long long>(n), outcome.c_str());
  std::printf("followed step by step: %llu, invariants only: %llu\n",
              static_cast<unsigned long long>(count - undetermined), static_cast<unsigned long long>(undetermined));
  if (violations > 0)
    std::printf("replay one with: %s --seed %llu --only I\n", argv[0], static_cast<unsigned long long>(seed));
  std::printf("schedules: %llu, violations: %llu, seed: %llu\n", static_cast<unsigned long long>(count),
              static_cast<unsigned long long>(violations), static_cast<unsigned long long>(seed));
  return violations == 0 ? 0 : 1;
}
