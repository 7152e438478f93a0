#include "campaign/checks.h"

#include <sstream>

namespace campaign {
namespace {

using sim::Event;

constexpr unsigned kOkCancel = 1;
constexpr unsigned kOkOnly = 0;
const char* const kMainClass = "Outlook Express Browser Class";

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) out += c == '\n' ? std::string("\\n") : std::string(1, c);
  return out + "\"";
}

// The bulk-mail rule as a successful run must leave it: named "Bulk Mail
// Rule", matching the word BULK: and moving mail to the folder Bulk.
std::string RuleProblem(const mailclient::Model& model) {
  const mailclient::Rule* rule = mailclient::FindRule(model, "Bulk Mail Rule");
  if (rule == nullptr) return "no rule named \"Bulk Mail Rule\"";
  bool words = false;
  for (const mailclient::Condition& c : rule->conditions)
    words = words || (c.wants_words && c.words == std::vector<std::string>{"BULK:"});
  bool folder = false;
  for (const mailclient::Action& a : rule->actions) folder = folder || (a.wants_folder && a.folder == "Bulk");
  if (!words) return "the rule does not match on BULK: (" + mailclient::Describe(*rule) + ")";
  if (!folder) return "the rule does not move mail to Bulk (" + mailclient::Describe(*rule) + ")";
  return "";
}

}  // namespace

RunRecord RunBehaviour(const Behaviour& b) {
  RunRecord r;
  r.desktop = std::make_unique<sim::Desktop>();
  sim::Desktop& d = *r.desktop;
  d.answers = {b.question, b.report};
  if (b.client.running) d.answers.pop_front();
  d.answer_delay_ms = b.answer_delay_ms;
  d.block_input_fails = b.block_input_fails;
  // Far past the latest end any run can have, so a hang is caught as such.
  d.runaway_ms = 3 * LatestEnd(b) + 60000;
  r.client = std::make_unique<sim::SimMailClient>(d, b.client);
  try {
    r.exited = sim::RunProgram(d);
  } catch (const sim::Runaway&) {
    r.runaway = true;
  }
  return r;
}

std::vector<std::string> Check(const Behaviour& b, const Expectation& e, const RunRecord& r) {
  std::vector<std::string> bad;
  auto fail = [&bad](const std::string& what) { bad.push_back(what); };
  const sim::Desktop& d = *r.desktop;

  // The process ends exactly once, within the bound of the time-outs.
  if (r.runaway) fail("the run never ended (virtual clock past " + std::to_string(d.runaway_ms) + " ms)");
  if (!r.runaway && !r.exited) fail("the entry routine returned without ending the process");
  const int exits = sim::CountEvents(d, Event::Exit);
  if (exits != 1 && !r.runaway) fail("process exits: " + std::to_string(exits));
  std::string bound_text;
  const sim::Millis bound = LatestEnd(b, &bound_text);
  if (r.exited && d.exit_time > bound)
    fail("ended at " + std::to_string(d.exit_time) + " ms, past the latest possible end " + bound_text);

  // The start-up question: asked exactly when the client is not running.
  std::size_t first_report = 0;
  const bool asked = !d.boxes.empty() && d.boxes[0].style == kOkCancel;
  if (!b.client.running) {
    if (!asked) {
      fail("the start-up question was not asked");
    } else {
      first_report = 1;
      const sim::Box& q = d.boxes[0];
      if (q.text != kQuestionText) fail("start-up question text " + Quote(q.text));
      if (q.caption != kQuestionCaption) fail("start-up question caption " + Quote(q.caption));
      if (q.owner != nullptr) fail("the start-up question has an owner");
    }
  } else if (asked) {
    fail("a start-up question although the client was running");
  }
  for (std::size_t i = first_report; i < d.boxes.size(); ++i)
    if (d.boxes[i].style == kOkCancel) fail("a second OK/Cancel box: " + Quote(d.boxes[i].text));

  const bool declined = !b.client.running && b.question != sim::Answer::Ok;
  const std::size_t reports = d.boxes.size() - first_report;
  if (declined) {
    if (reports != 0) fail("a report after the start-up question was declined");
    if (sim::CountEvents(d, Event::Launch) != 0) fail("the client was launched after Cancel");
    if (sim::CountEvents(d, Event::Lock) != 0) fail("input was locked after Cancel");
    if (d.exit_status != 1) fail("exit status " + std::to_string(d.exit_status) + " after Cancel");
  } else if (reports != 1) {
    fail("reports shown: " + std::to_string(reports));
  }

  // The report: a known text, an empty caption, a single OK button, owned
  // by the client's main window when there is one.
  const sim::Box* report = reports >= 1 ? &d.boxes[first_report] : nullptr;
  if (report != nullptr) {
    if (!IsReportText(report->text)) fail("unknown report text " + Quote(report->text));
    if (report->caption != "") fail("report caption " + Quote(report->caption));
    if (report->style != kOkOnly) fail("report style " + std::to_string(report->style));
    const bool success = report->text == kSuccessText;
    if (r.exited && d.exit_status != (success ? 0 : 1))
      fail("exit status " + std::to_string(d.exit_status) + " after " + Quote(report->text));
    if (success) {
      const std::string problem = RuleProblem(r.client->model);
      if (!problem.empty()) fail("success reported but " + problem);
    }
  }

  // Input unlocked before every box; no key before the lock.
  bool locked = false;
  bool lock_seen = false;
  std::size_t box_index = 0;
  for (const Event& ev : d.events) {
    if (ev.kind == Event::Lock) {
      locked = ev.locked;
      lock_seen = lock_seen || ev.locked;
    } else if (ev.kind == Event::Box) {
      if (locked) fail("input still locked when the box " + Quote(ev.text) + " came up");
      ++box_index;
    } else if (ev.kind == Event::Key && !lock_seen) {
      fail("a key was sent at " + std::to_string(ev.time) + " ms, before input was locked");
      break;
    }
  }
  for (const sim::Box& box : d.boxes)
    if (box.input_locked) fail("the box " + Quote(box.text) + " came up with input locked");

  // No key after the failed wait a report is about: the whole wait (60
  // polls of its window, 300 after a launch) lies between the last key and
  // the report.
  if (e.determined && e.after_failed_wait && report != nullptr) {
    // Back from the report's unlock (the lookup of the box's owner comes
    // after it) to the last key.
    auto it = d.events.rbegin();
    while (it != d.events.rend() && !(it->kind == Event::Lock && !it->locked)) ++it;
    int trailing = 0;
    for (; it != d.events.rend() && it->kind != Event::Key; ++it) {
      if (it->kind == Event::Lookup && it->time > e.failed_wait_start &&
          it->text == e.failed_wait_class && it->has_title == !e.failed_wait_title.empty() &&
          it->title == e.failed_wait_title)
        ++trailing;
    }
    const int polls = e.failed_wait_class == kMainClass && e.report_text != kStepFailureTexts[5] ? 300 : 60;
    if (trailing != polls)
      fail("the failed wait for " + Quote(e.failed_wait_title.empty() ? e.failed_wait_class : e.failed_wait_title) +
           " before the report: " + std::to_string(trailing) + " polls with no key after them, not " +
           std::to_string(polls));
    for (const Event* k : sim::KeyEvents(d))
      if (k->time > e.failed_wait_start) {
        fail("a key was sent at " + std::to_string(k->time) + " ms, after the wait that failed at " +
             std::to_string(e.failed_wait_start) + " ms");
        break;
      }
  }

  if (!e.determined) return bad;

  // What this behaviour must lead to, step by step.
  if (declined != e.cancelled) fail("the start-up question's answer was not followed");
  if (report != nullptr && report->text != e.report_text)
    fail("report " + Quote(report->text) + ", expected " + Quote(e.report_text));
  if (report == nullptr && !e.cancelled) fail("no report, expected " + Quote(e.report_text));
  if (r.exited && d.exit_status != e.status)
    fail("exit status " + std::to_string(d.exit_status) + ", expected " + std::to_string(e.status));
  if (r.exited && d.exit_time != e.exit_time)
    fail("ended at " + std::to_string(d.exit_time) + " ms, expected " + std::to_string(e.exit_time) + " ms");
  if (report != nullptr && (report->owner_class == kMainClass) != e.report_owned)
    fail(std::string("report owner ") + (report->owner_class.empty() ? "none" : report->owner_class) + ", expected " +
         (e.report_owned ? kMainClass : "none"));
  const std::vector<const Event*> keys = sim::KeyEvents(d);
  if (keys.size() != e.key_times.size()) {
    fail("key events: " + std::to_string(keys.size()) + ", expected " + std::to_string(e.key_times.size()));
  } else {
    for (std::size_t i = 0; i < keys.size(); ++i)
      if (keys[i]->time != e.key_times[i]) {
        fail("key event " + std::to_string(i + 1) + " at " + std::to_string(keys[i]->time) + " ms, expected " +
             std::to_string(e.key_times[i]) + " ms");
        break;
      }
  }
  return bad;
}

}  // namespace campaign
