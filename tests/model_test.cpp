// The mail client model: the setup's key sequence makes the rule, and wrong
// sequences leave a wrong or missing rule or a dialog open.
#include <gtest/gtest.h>

#include <sstream>

#include "mailclient/model.h"

namespace {

using mailclient::Dialog;
using mailclient::Model;

// Feeds a trace such as "Alt{ T }Alt R M Shift{ B }Shift Tab" to the model's
// active dialog, stroke by stroke, as the keyboard would deliver it.
void Type(Model& m, const std::string& trace) {
  std::istringstream in(trace);
  std::string token;
  bool shift = false, alt = false;
  auto send = [&](std::uint16_t vk, bool down) { mailclient::Deliver(m, mailclient::Active(m), {vk, down, shift, alt}); };
  while (in >> token) {
    if (token == "Shift{") { shift = true; send(0x10, true); continue; }
    if (token == "}Shift") { shift = false; send(0x10, false); continue; }
    if (token == "Alt{") { alt = true; send(0x12, true); continue; }
    if (token == "}Alt") { alt = false; send(0x12, false); continue; }
    if (token == "Click") { mailclient::MenuBarButtonDown(m, 125, 6); continue; }
    std::uint16_t vk = 0;
    if (token == "Tab") vk = 0x09;
    else if (token == "Enter") vk = 0x0D;
    else if (token == "Space") vk = 0x20;
    else if (token == "Left") vk = 0x25;
    else if (token == "Right") vk = 0x27;
    else if (token == "Down") vk = 0x28;
    else if (token == "Up") vk = 0x26;
    else if (token == "Esc") vk = 0x1B;
    else if (token == ":") vk = 0xBA;
    else if (token.size() == 1) vk = static_cast<std::uint16_t>(token[0]);
    ASSERT_NE(vk, 0) << token;
    send(vk, true);
    send(vk, false);
  }
}

std::string Repeat(const std::string& stroke, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += stroke + " ";
  return s;
}

const std::string kMenu = "Alt{ T }Alt Click R M ";
const std::string kWords = "Down Space Tab Space Tab Down Enter ";
const std::string kMatch = "Shift{ B U L K : }Shift Enter Tab Tab Tab Enter ";
const std::string kMoveDialog = "Down Down Enter ";
const std::string kFolder = Repeat("Left", 30) + "Right Right Tab Tab Enter Shift{ B }Shift U L K Enter Tab Enter ";
const std::string kName = "Tab Shift{ B }Shift U L K Space Shift{ M }Shift A I L Space Shift{ R }Shift U L E ";
const std::string kSave = "Tab Enter ";
const std::string kClose = Repeat("Tab", 8) + "Enter ";
const std::string kFromList = "Tab Enter ";

const std::string kBulkRule =
    "\"Bulk Mail Rule\": Where the Subject line contains specific words [BULK:]; Move it to the specified folder "
    "[Local Folders\\Inbox\\Bulk];";

std::string Outcome(const Model& m) {
  const mailclient::Rule* rule = mailclient::FindRule(m, "Bulk Mail Rule");
  std::string s = rule ? mailclient::Describe(*rule) : "no rule";
  if (!m.stack.empty()) s += " (open: " + std::string(mailclient::TitleOf(m.stack.back())) + ")";
  return s;
}

TEST(Model, TheSetupSequenceMakesTheBulkRule) {
  Model direct = mailclient::MakeModel(false);
  Type(direct, kMenu);
  EXPECT_EQ(mailclient::Active(direct), Dialog::NewMailRule);
  Type(direct, kWords + kMatch + kMoveDialog + kFolder + kName + kSave);
  EXPECT_EQ(mailclient::Active(direct), Dialog::MessageRules);
  Type(direct, kClose);
  EXPECT_EQ(Outcome(direct), kBulkRule);
  EXPECT_EQ(direct.rules.size(), 1u);

  Model listed = mailclient::MakeModel(true);
  Type(listed, kMenu);
  EXPECT_EQ(mailclient::Active(listed), Dialog::MessageRules);
  Type(listed, kFromList + kWords + kMatch + kMoveDialog + kFolder + kName + kSave + kClose);
  EXPECT_EQ(Outcome(listed), kBulkRule);
  EXPECT_EQ(listed.rules.size(), 2u);
}

TEST(Model, EachStepLeadsToTheDialogTheNextOneExpects) {
  struct Step {
    const std::string* keys;
    Dialog then;
  };
  const Step steps[] = {{&kMenu, Dialog::NewMailRule}, {&kWords, Dialog::TypeSpecificWords},
                        {&kMatch, Dialog::NewMailRule}, {&kMoveDialog, Dialog::Move},
                        {&kFolder, Dialog::NewMailRule}, {&kName, Dialog::NewMailRule},
                        {&kSave, Dialog::MessageRules},  {&kClose, Dialog::Main}};
  Model m = mailclient::MakeModel(false);
  for (const Step& step : steps) {
    SCOPED_TRACE(*step.keys);
    Type(m, *step.keys);
    EXPECT_EQ(mailclient::Active(m), step.then);
  }
}

struct WrongCase {
  const char* name;
  std::string keys;
  std::string outcome;
};

TEST(Model, WrongKeySequencesNeverMakeTheRightRule) {
  const std::string rest_after_words = kMatch + kMoveDialog + kFolder + kName + kSave + kClose;
  const WrongCase cases[] = {
      {"menu without R", "Alt{ T }Alt Click M " + kWords + rest_after_words, "no rule"},
      {"menu, another button clicked", "Alt{ T }Alt R M ", "no rule (open: New Mail Rule)"},
      {"Shift released before the colon",
       kMenu + kWords + "Shift{ B U L K }Shift : Enter Tab Tab Tab Enter " + kMoveDialog + kFolder + kName + kSave +
           kClose,
       "\"Bulk Mail Rule\": Where the Subject line contains specific words [BULK;]; Move it to the specified "
       "folder [Local Folders\\Inbox\\Bulk];"},
      {"no Down: the From line condition", kMenu + "Space Tab Space Tab Down Enter ", "no rule (open: New Mail Rule)"},
      {"two Tabs, not three, after the words",
       kMenu + kWords + "Shift{ B U L K : }Shift Enter Tab Tab Enter " + kMoveDialog + kFolder + kName + kSave +
           kClose,
       "no rule"},
      {"one Right: folder under the root",
       kMenu + kWords + kMatch + kMoveDialog + Repeat("Left", 30) +
           "Right Tab Tab Enter Shift{ B }Shift U L K Enter Tab Enter " + kName + kSave + kClose,
       "\"Bulk Mail Rule\": Where the Subject line contains specific words [BULK:]; Move it to the specified "
       "folder [Local Folders\\Bulk];"},
      {"name typed without its Tab",
       kMenu + kWords + kMatch + kMoveDialog + kFolder +
           "Shift{ B }Shift U L K Space Shift{ M }Shift A I L Space Shift{ R }Shift U L E " + kSave + kClose,
       "no rule"},
      {"Shift held over the whole name",
       kMenu + kWords + kMatch + kMoveDialog + kFolder + "Tab Shift{ B U L K }Shift Space Shift{ M }Shift A I L Space "
       "Shift{ R }Shift U L E " + kSave + kClose,
       "no rule"},
      {"seven Tabs in the rules list", kMenu + kWords + rest_after_words.substr(0, rest_after_words.size() - kClose.size()) +
           Repeat("Tab", 7) + "Enter ", kBulkRule + " (open: Message Rules)"},
      {"nine Tabs in the rules list: Cancel", kMenu + kWords + rest_after_words.substr(0, rest_after_words.size() - kClose.size()) +
           Repeat("Tab", 9) + "Enter ", "no rule"},
      {"save without its Tab", kMenu + kWords + kMatch + kMoveDialog + kFolder + kName + "Enter " + kClose, "no rule"},
  };
  for (const WrongCase& c : cases) {
    SCOPED_TRACE(c.name);
    Model m = mailclient::MakeModel(false);
    Type(m, c.keys);
    EXPECT_EQ(Outcome(m), c.outcome);
  }
}

TEST(Model, KeysForADialogThatIsNotOnTopAreIgnored) {
  Model m = mailclient::MakeModel(false);
  Type(m, kMenu);
  ASSERT_EQ(mailclient::Active(m), Dialog::NewMailRule);
  const auto changes = mailclient::Deliver(m, Dialog::Main, {0x0D, true, false, false});
  EXPECT_TRUE(changes.empty());
  EXPECT_EQ(m.keys_ignored, 1);
  EXPECT_EQ(mailclient::Active(m), Dialog::NewMailRule);
}

TEST(Model, IgnoredMenuCommandsOpenNothing) {
  Model m = mailclient::MakeModel(false);
  m.menu_commands_to_ignore = 1;
  Type(m, kMenu);
  EXPECT_EQ(mailclient::Active(m), Dialog::Main);
  Type(m, kMenu);
  EXPECT_EQ(mailclient::Active(m), Dialog::NewMailRule);
}

TEST(Model, MenuBarClickOpensToolsOnlyOnItsButton) {
  struct Click {
    int x, y;
    bool tools;
  };
  const Click clicks[] = {{125, 6, true}, {118, 0, true}, {161, 21, true}, {117, 6, false}, {162, 6, false},
                          {125, 22, false}, {125, -1, false}};
  for (const Click& c : clicks) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    Model m = mailclient::MakeModel(false);
    mailclient::MenuBarButtonDown(m, c.x, c.y);
    Type(m, "R M");
    EXPECT_EQ(mailclient::Active(m) == Dialog::NewMailRule, c.tools);
  }
}

}  // namespace
