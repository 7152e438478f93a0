// The campaign's own account of what a run must do under a generated
// behaviour. It is worked out from the documented steps, pauses, time-outs
// and messages of a run and from the documented reactions of the client
// (which key opens or closes which dialog, how a dialog's timing knob acts),
// on its own clock: it shares no code with the setup logic, so a slip in
// the program shows up as a disagreement.
//
// A few behaviours leave the client in a state this account does not
// follow (keys meant for one dialog reaching another that was still
// opening, a window coming back to the front in the middle of a key
// script). Those runs are marked undetermined: only the invariants that
// hold for every run are checked on them.
#pragma once

#include <string>
#include <vector>

#include "campaign/behaviour.h"

namespace campaign {

// The messages of a run, written out here once more on purpose.
extern const char* const kQuestionText;
extern const char* const kQuestionCaption;
extern const char* const kSuccessText;
extern const char* const kLaunchFailedText;
extern const char* const kNoMenuBarText;
extern const char* const kNoEditorText;
extern const char* const kStepFailureTexts[6];  // the six rule steps, in order

// True for any of the texts above that a report can show.
bool IsReportText(const std::string& text);

struct Expectation {
  bool determined = true;
  std::string undetermined_because;

  bool asks_question = false;
  bool cancelled = false;  // the question was declined: no report
  std::string report_text;
  bool success = false;
  int status = 1;
  sim::Millis exit_time = 0;
  bool report_owned = false;  // the client's main window exists at the report

  // Every synthesized key event, by the time it is sent.
  std::vector<sim::Millis> key_times;
  // The failed wait that the report is about, when there is one: from its
  // start no key may follow.
  bool after_failed_wait = false;
  sim::Millis failed_wait_start = 0;
  // The waited-for window of that wait, for reading the log.
  std::string failed_wait_class;
  std::string failed_wait_title;  // "" with no title
};

Expectation Predict(const Behaviour& b);

// The latest a run can end under this behaviour, from the time-outs and
// the fixed pauses alone: every wait running out and both menu sequences.
sim::Millis LatestEnd(const Behaviour& b, std::string* arithmetic = nullptr);

}  // namespace campaign
