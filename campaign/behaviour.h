// One generated client behaviour of the fault campaign: how the simulated
// mail client, the desktop and the person at the screen behave in one run.
// Behaviours are drawn from a seeded generator; schedule i of seed S is the
// same on every machine and can be drawn on its own.
#pragma once

#include <cstdint>
#include <string>

#include "sim/desktop.h"
#include "sim/mail_client_sim.h"

namespace campaign {

// A small, portable pseudo-random generator (splitmix64): the same numbers
// on every platform and standard library.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next();
  // Uniform in [lo, hi].
  std::uint64_t Between(std::uint64_t lo, std::uint64_t hi);
  // True with probability percent / 100.
  bool Percent(unsigned percent);

 private:
  std::uint64_t state_;
};

struct Behaviour {
  sim::ClientScenario client;
  sim::Answer question = sim::Answer::Ok;  // the start-up question, when asked
  sim::Answer report = sim::Answer::Ok;    // the closing message
  bool block_input_fails = false;
  sim::Millis answer_delay_ms = 0;  // how long the person takes to answer a box
};

// The dialogs whose timing the campaign varies.
extern const mailclient::Dialog kVariedDialogs[5];

// Schedule `index` of the campaign with this seed.
Behaviour Generate(std::uint64_t seed, std::uint64_t index);

// Several lines, for a person replaying a schedule.
std::string Describe(const Behaviour& b);

}  // namespace campaign
