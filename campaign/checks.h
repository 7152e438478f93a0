// Running one generated behaviour on the simulated desktop, and the
// invariants every run must keep.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "campaign/behaviour.h"
#include "campaign/reference.h"

namespace campaign {

struct RunRecord {
  std::unique_ptr<sim::Desktop> desktop;
  std::unique_ptr<sim::SimMailClient> client;
  bool exited = false;   // the process ended through the process exit
  bool runaway = false;  // the virtual clock ran far past any possible run
};

RunRecord RunBehaviour(const Behaviour& b);

// Every broken invariant, one line each; empty when the run is sound.
std::vector<std::string> Check(const Behaviour& b, const Expectation& e, const RunRecord& r);

}  // namespace campaign
