// A model of the mail client's rule dialogs: which dialog is open, where the
// keyboard focus is inside each, and what a key does there. It knows nothing
// of windows or time; a desktop (simulated, or a real Win32 stand-in) shows
// the dialogs it opens, feeds it the key events the front window receives
// and the button-down messages its menu bar gets, and reads the rules back.
//
// Keys act only in the dialog on top of the modal stack; a key that arrives
// anywhere else is ignored, as a disabled owner window ignores it. A wrong
// key in the right place moves the focus somewhere else, so a wrong key
// sequence leaves a wrong or missing rule, never the right one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mailclient {

// Virtual-key codes the model reacts to (the documented Win32 values).
namespace vk {
constexpr std::uint16_t kTab = 0x09;
constexpr std::uint16_t kReturn = 0x0D;
constexpr std::uint16_t kShift = 0x10;
constexpr std::uint16_t kAlt = 0x12;
constexpr std::uint16_t kEscape = 0x1B;
constexpr std::uint16_t kSpace = 0x20;
constexpr std::uint16_t kLeft = 0x25;
constexpr std::uint16_t kUp = 0x26;
constexpr std::uint16_t kRight = 0x27;
constexpr std::uint16_t kDown = 0x28;
constexpr std::uint16_t kSemicolon = 0xBA;  // ';' and, with Shift, ':'
}  // namespace vk

enum class Dialog { Main, NewMailRule, MessageRules, TypeSpecificWords, Move, NewFolder };

// The window title each dialog shows ("" for the main window).
const char* TitleOf(Dialog dialog);

struct KeyEvent {
  std::uint16_t vk;
  bool down;   // false: key-up
  bool shift;  // Shift held on the keyboard when the event arrives
  bool alt;    // Alt held
};

struct Change {
  enum Kind { Opened, Closed } kind;
  Dialog dialog;
};

struct Condition {
  std::string text;                // as listed in the rule editor
  bool wants_words;                // its description link asks for words
  std::vector<std::string> words;  // the words or phrases to match on
};

struct Action {
  std::string text;
  bool wants_folder;
  std::string folder;  // the folder's name
  std::string folder_path;
};

struct Rule {
  std::string name;
  std::vector<Condition> conditions;  // only the ticked ones
  std::vector<Action> actions;
};

// One line per rule, for people reading test output and the terminal.
std::string Describe(const Rule& rule);

struct Folder {
  std::string name;
  int parent;  // -1 for the root
  bool expanded;
};

struct Editor {
  int focus = 0;  // 0 conditions, 1 actions, 2 description, 3 name, 4 OK, 5 Cancel
  int condition_cursor = 0;
  int action_cursor = 0;
  std::vector<bool> condition_ticked;
  std::vector<bool> action_ticked;
  std::vector<std::vector<std::string>> condition_words;
  std::vector<std::string> action_folder;  // index into folders, as text path
  std::vector<std::string> action_folder_name;
  int link = -1;  // the description's focused link, -1 none
  std::string name = "New Mail Rule #1";
  bool name_selected = false;  // typing replaces the whole name
  bool from_list = false;      // opened from "Message Rules"
};

struct WordsDialog {
  int focus = 0;  // 0 edit, 1 Add, 2 Remove, 3 OK, 4 Cancel
  int condition = 0;
  std::string edit;
  std::vector<std::string> words;
};

struct MoveDialog {
  int focus = 0;  // 0 folder tree, 1 OK, 2 New Folder, 3 Cancel
  int action = 0;
  int selected = 0;
};

struct NewFolderDialog {
  int focus = 0;  // 0 name, 1 OK, 2 Cancel
  std::string name;
};

struct RulesList {
  int focus = 0;  // 0 list, 1 New, 2 Modify, 3 Copy, 4 Remove, 5 Apply Now,
                  // 6 Move Up, 7 Move Down, 8 OK, 9 Cancel
  std::vector<Rule> rules_when_opened;  // what Cancel goes back to
};

enum class Menu { Closed, Tools, MessageRulesSubmenu };

struct Model {
  // Behaviour of the client.
  int menu_commands_to_ignore = 0;  // the first N Tools > Message Rules > Mail do nothing

  std::vector<Rule> rules;      // saved mail rules
  std::vector<Folder> folders;  // the folder tree; 0 is the root
  std::vector<Dialog> stack;    // open dialogs, innermost last (Main not listed)

  Menu menu = Menu::Closed;
  bool alt_pressed_alone = false;
  Editor editor;
  WordsDialog words;
  MoveDialog move;
  NewFolderDialog new_folder;
  RulesList list;

  // Diagnostics: how many key-downs reached a dialog that was not on top.
  int keys_ignored = 0;
};

// A client with the usual folders and no rules (or with one rule already
// there, so the rules list comes up before the editor).
Model MakeModel(bool with_existing_rule);

// The dialog that takes keys now: the innermost open one, or Main.
Dialog Active(const Model& model);

std::vector<Change> Deliver(Model& model, Dialog target, const KeyEvent& key);

// A left-button-down message on the menu bar at client coordinates (x, y).
std::vector<Change> MenuBarButtonDown(Model& model, int x, int y);

// The client gives up on an open dialog as if it were cancelled (used when
// a desktop drops a dialog that never comes up).
std::vector<Change> Dismiss(Model& model, Dialog dialog);

// Folder path from the root, with backslashes.
std::string FolderPath(const Model& model, int folder);

// The saved rule of that name, or null.
const Rule* FindRule(const Model& model, const std::string& name);

}  // namespace mailclient
