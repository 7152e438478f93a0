// The record of a run folded into phases a person can read: key bursts and
// the window they went to, waits with their polls and outcome, pauses, the
// lock, launches, boxes and the exit, each with its virtual start and length.
#pragma once

#include <string>
#include <vector>

#include "sim/desktop.h"

namespace sim {

struct Phase {
  Millis start = 0;
  Millis length = 0;
  std::string what;
};

std::vector<Phase> Timeline(const Desktop& desktop);
std::string FormatTimeline(const std::vector<Phase>& phases);

}  // namespace sim
