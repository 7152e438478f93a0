#include "tests/scenario.h"

#include <map>

namespace scenario {

const char* const kSuccessText =
    "Your bulk mail folder has been successfully set up.\n\nThank You for using Orvendel!";
const char* const kNoMenuBarText = "Unable to retrieve handle to the Outlook Express menubar";
const char* const kNoEditorText =
    "Unable to continue Bulk Mail Rule setup.\n(cannot obtain a handle to the 'New Mail Rule' window)\n\nPlease "
    "set Outlook Express to display the Inbox and re-run this application to install the Bulk Mail "
    "Rule.\n\nThank You for using Orvendel!";
const char* const kLaunchFailedText =
    "Unable to start Outook Express to create the Bulk Mail rule.\n\nPlease launch Outlook Express and re-run "
    "this application.";
const char* const kLaunchQuestion =
    "The Bulk Mail Rule setup application must launch Outlook Express to continue.\n\nClick 'OK' to launch "
    "Outlook Express and begin Bulk Mail Rule setup or 'Cancel' to discontinue.";
const char* const kLaunchCaption = "Orvendel  - Bulk Mail Rule Setup";

namespace {

std::string KeyName(WORD vk) {
  static const std::map<WORD, std::string> names = {
      {0x09, "Tab"},  {0x0D, "Enter"}, {0x10, "Shift"}, {0x12, "Alt"},   {0x20, "Space"},
      {0x25, "Left"}, {0x26, "Up"},    {0x27, "Right"}, {0x28, "Down"}, {0xBA, ";"}};
  auto it = names.find(vk);
  if (it != names.end()) return it->second;
  if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::string(1, static_cast<char>(vk));
  return "vk" + std::to_string(vk);
}

}  // namespace

std::string KeyTrace(const std::vector<const sim::Event*>& keys) {
  std::string out;
  auto add = [&out](const std::string& s) {
    if (!out.empty()) out += ' ';
    out += s;
  };
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const sim::Event& e = *keys[i];
    const std::string name = KeyName(e.vk);
    if (e.vk == 0x10 || e.vk == 0x12) {
      add(e.up ? "}" + name : name + "{");
    } else if (!e.up && i + 1 < keys.size() && keys[i + 1]->vk == e.vk && keys[i + 1]->up) {
      add(name);
      ++i;
    } else {
      add((e.up ? "-" : "+") + name);
    }
  }
  return out;
}

std::string Result::Keys() const { return KeyTrace(sim::KeyEvents(*desktop)); }

int Result::KeysTo(const std::string& title) const {
  int n = 0;
  for (const sim::Event* e : sim::KeyEvents(*desktop)) n += e->target_title == title;
  return n;
}

int Result::KeyDownsTo(const std::string& title) const {
  int n = 0;
  for (const sim::Event* e : sim::KeyEvents(*desktop)) n += !e->up && e->target_title == title;
  return n;
}

int Result::KeyCount() const { return static_cast<int>(sim::KeyEvents(*desktop).size()); }

int Result::Lookups(const std::string& class_name, const char* title) const {
  int run = 0;
  for (const sim::Event& e : desktop->events) {
    if (e.kind != sim::Event::Lookup) continue;
    const bool same = e.text == class_name && e.has_title == (title != nullptr) && (!title || e.title == title);
    run = same ? run + 1 : 0;
  }
  return run;
}

const mailclient::Rule* Result::Rule(const std::string& name) const {
  return mailclient::FindRule(client->model, name);
}

Result Play(const Scenario& setup) {
  Result r;
  r.desktop = std::make_unique<sim::Desktop>();
  r.desktop->answers = setup.answers;
  r.desktop->block_input_fails = setup.block_input_fails;
  r.client = std::make_unique<sim::SimMailClient>(*r.desktop, setup.client);
  r.exited = sim::RunProgram(*r.desktop);
  return r;
}

}  // namespace scenario
