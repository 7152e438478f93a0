#include "mailclient/model.h"

#include <algorithm>

namespace mailclient {
namespace {

struct Choice {
  const char* text;
  enum Link { None, Words, People, Folder } link;
};

const Choice kConditions[] = {
    {"Where the From line contains people", Choice::People},
    {"Where the Subject line contains specific words", Choice::Words},
    {"Where the message body contains specific words", Choice::Words},
    {"Where the To line contains people", Choice::People},
    {"For all messages", Choice::None},
};
const Choice kActions[] = {
    {"Move it to the specified folder", Choice::Folder},
    {"Copy it to the specified folder", Choice::None},
    {"Delete it", Choice::None},
    {"Forward it to people", Choice::People},
    {"Do not Download it from the server", Choice::None},
};
constexpr int kConditionCount = static_cast<int>(sizeof kConditions / sizeof kConditions[0]);
constexpr int kActionCount = static_cast<int>(sizeof kActions / sizeof kActions[0]);
constexpr int kMoveAction = 0;

constexpr int kEditorFocusCount = 6;
constexpr int kEditorDescription = 2, kEditorName = 3, kEditorOk = 4, kEditorCancel = 5;
constexpr int kWordsFocusCount = 5;
constexpr int kMoveFocusCount = 4;
constexpr int kNewFolderFocusCount = 3;
constexpr int kListFocusCount = 10;
constexpr int kListNew = 1, kListRemove = 4, kListOk = 8, kListCancel = 9;

// The menu bar's buttons, left to right, in client coordinates.
struct MenuButton {
  int left, right;
  Menu opens;
};
const MenuButton kMenuButtons[] = {
    {0, 37, Menu::Closed},   {37, 76, Menu::Closed},   {76, 118, Menu::Closed},
    {118, 162, Menu::Tools}, {162, 222, Menu::Closed}, {222, 258, Menu::Closed},
};
constexpr int kMenuBarHeight = 22;

using Changes = std::vector<Change>;

int Cycle(int focus, int count, bool backwards) {
  return backwards ? (focus + count - 1) % count : (focus + 1) % count;
}

// The character a key types into an edit box, or 0.
char Typed(const KeyEvent& key) {
  if (key.vk >= 'A' && key.vk <= 'Z') return static_cast<char>(key.shift ? key.vk : key.vk - 'A' + 'a');
  if (key.vk >= '0' && key.vk <= '9' && !key.shift) return static_cast<char>(key.vk);
  if (key.vk == vk::kSpace) return ' ';
  if (key.vk == vk::kSemicolon) return key.shift ? ':' : ';';
  return 0;
}

void Open(Model& m, Dialog d, Changes& out) {
  m.stack.push_back(d);
  out.push_back({Change::Opened, d});
}

void Close(Model& m, Dialog d, Changes& out) {
  auto it = std::find(m.stack.begin(), m.stack.end(), d);
  if (it == m.stack.end()) return;
  m.stack.erase(it);
  out.push_back({Change::Closed, d});
}

// ---- Description links of the rule editor --------------------------------

struct Link {
  bool condition;
  int index;
};

std::vector<Link> LinksOf(const Editor& e) {
  std::vector<Link> links;
  for (int i = 0; i < kConditionCount; ++i)
    if (e.condition_ticked[i] && kConditions[i].link != Choice::None) links.push_back({true, i});
  for (int i = 0; i < kActionCount; ++i)
    if (e.action_ticked[i] && kActions[i].link != Choice::None) links.push_back({false, i});
  return links;
}

// ---- Opening dialogs -----------------------------------------------------

void OpenEditor(Model& m, bool from_list, Changes& out) {
  m.editor = Editor{};
  m.editor.from_list = from_list;
  m.editor.condition_ticked.assign(kConditionCount, false);
  m.editor.action_ticked.assign(kActionCount, false);
  m.editor.condition_words.assign(kConditionCount, {});
  m.editor.action_folder.assign(kActionCount, "");
  m.editor.action_folder_name.assign(kActionCount, "");
  Open(m, Dialog::NewMailRule, out);
}

void OpenList(Model& m, const std::vector<Rule>& rules_before, Changes& out) {
  m.list = RulesList{};
  m.list.rules_when_opened = rules_before;
  Open(m, Dialog::MessageRules, out);
}

// ---- Rule editor ---------------------------------------------------------

bool EditorComplete(const Editor& e) {
  if (e.name.empty()) return false;
  bool any_condition = false, any_action = false;
  for (int i = 0; i < kConditionCount; ++i) {
    if (!e.condition_ticked[i]) continue;
    any_condition = true;
    if (kConditions[i].link == Choice::Words && e.condition_words[i].empty()) return false;
  }
  for (int i = 0; i < kActionCount; ++i) {
    if (!e.action_ticked[i]) continue;
    any_action = true;
    if (kActions[i].link == Choice::Folder && e.action_folder[i].empty()) return false;
  }
  return any_condition && any_action;
}

void BackToList(Model& m) { m.list.focus = 0; }

void EditorOk(Model& m, Changes& out) {
  Editor& e = m.editor;
  if (!EditorComplete(e)) return;  // the editor stays open until the rule is whole
  Rule rule;
  rule.name = e.name;
  for (int i = 0; i < kConditionCount; ++i)
    if (e.condition_ticked[i])
      rule.conditions.push_back({kConditions[i].text, kConditions[i].link == Choice::Words, e.condition_words[i]});
  for (int i = 0; i < kActionCount; ++i)
    if (e.action_ticked[i])
      rule.actions.push_back(
          {kActions[i].text, kActions[i].link == Choice::Folder, e.action_folder_name[i], e.action_folder[i]});
  std::vector<Rule> before = m.rules;
  m.rules.push_back(rule);
  Close(m, Dialog::NewMailRule, out);
  if (e.from_list)
    BackToList(m);
  else
    OpenList(m, before, out);
}

void EditorCancel(Model& m, Changes& out) {
  Close(m, Dialog::NewMailRule, out);
  if (m.editor.from_list) BackToList(m);
}

void ActivateLink(Model& m, Changes& out) {
  Editor& e = m.editor;
  std::vector<Link> links = LinksOf(e);
  if (e.link < 0 || e.link >= static_cast<int>(links.size())) return;
  const Link link = links[e.link];
  if (link.condition && kConditions[link.index].link == Choice::Words) {
    m.words = WordsDialog{};
    m.words.condition = link.index;
    m.words.words = e.condition_words[link.index];
    Open(m, Dialog::TypeSpecificWords, out);
  } else if (!link.condition && link.index == kMoveAction) {
    m.move = MoveDialog{};
    m.move.action = link.index;
    m.move.selected = 1;  // the Inbox, the folder in view
    Open(m, Dialog::Move, out);
  }
}

void EditorKey(Model& m, const KeyEvent& key, Changes& out) {
  Editor& e = m.editor;
  switch (key.vk) {
    case vk::kTab:
      e.focus = Cycle(e.focus, kEditorFocusCount, key.shift);
      if (e.focus == kEditorDescription) e.link = -1;
      if (e.focus == kEditorName) e.name_selected = true;
      return;
    case vk::kDown:
    case vk::kUp: {
      const int step = key.vk == vk::kDown ? 1 : -1;
      if (e.focus == 0) e.condition_cursor = std::clamp(e.condition_cursor + step, 0, kConditionCount - 1);
      if (e.focus == 1) e.action_cursor = std::clamp(e.action_cursor + step, 0, kActionCount - 1);
      if (e.focus == kEditorDescription) {
        const int last = static_cast<int>(LinksOf(e).size()) - 1;
        if (last >= 0) e.link = std::clamp(e.link + step, 0, last);
      }
      return;
    }
    case vk::kReturn:
      if (e.focus == kEditorDescription && e.link >= 0)
        ActivateLink(m, out);
      else if (e.focus == kEditorName)
        return;  // the name box keeps Enter to itself
      else if (e.focus == kEditorCancel)
        EditorCancel(m, out);
      else
        EditorOk(m, out);
      return;
    case vk::kEscape:
      EditorCancel(m, out);
      return;
    default:
      break;
  }
  if (key.vk == vk::kSpace && e.focus != kEditorName) {
    if (e.focus == 0) e.condition_ticked[e.condition_cursor] = !e.condition_ticked[e.condition_cursor];
    if (e.focus == 1) e.action_ticked[e.action_cursor] = !e.action_ticked[e.action_cursor];
    if (e.focus == kEditorOk) EditorOk(m, out);
    if (e.focus == kEditorCancel) EditorCancel(m, out);
    return;
  }
  if (e.focus != kEditorName) return;
  if (key.vk == vk::kLeft || key.vk == vk::kRight) {
    e.name_selected = false;
    return;
  }
  if (char c = Typed(key)) {
    if (e.name_selected) e.name.clear();
    e.name_selected = false;
    e.name += c;
  }
}

// ---- Type Specific Words -------------------------------------------------

void WordsClose(Model& m, bool keep, Changes& out) {
  if (keep) {
    if (m.words.words.empty()) return;  // nothing to match on: stays open
    m.editor.condition_words[m.words.condition] = m.words.words;
  }
  Close(m, Dialog::TypeSpecificWords, out);
  m.editor.link = -1;
}

void WordsAdd(WordsDialog& w) {
  if (w.edit.empty()) return;
  w.words.push_back(w.edit);
  w.edit.clear();
}

void WordsKey(Model& m, const KeyEvent& key, Changes& out) {
  WordsDialog& w = m.words;
  if (key.vk == vk::kTab) {
    w.focus = Cycle(w.focus, kWordsFocusCount, key.shift);
    return;
  }
  if (key.vk == vk::kEscape) return WordsClose(m, false, out);
  const bool press = key.vk == vk::kReturn || (key.vk == vk::kSpace && w.focus != 0);
  if (press) {
    switch (w.focus) {
      case 0:
      case 1: WordsAdd(w); return;
      case 2: if (!w.words.empty()) w.words.pop_back(); return;
      case 3: return WordsClose(m, true, out);
      default: return WordsClose(m, false, out);
    }
  }
  if (w.focus == 0)
    if (char c = Typed(key)) w.edit += c;
}

// ---- Move, and New Folder inside it --------------------------------------

std::vector<int> ChildrenOf(const Model& m, int folder) {
  std::vector<int> children;
  for (int i = 0; i < static_cast<int>(m.folders.size()); ++i)
    if (m.folders[i].parent == folder) children.push_back(i);
  return children;
}

void VisibleFolders(const Model& m, int folder, std::vector<int>& out) {
  out.push_back(folder);
  if (!m.folders[folder].expanded) return;
  for (int child : ChildrenOf(m, folder)) VisibleFolders(m, child, out);
}

void TreeKey(Model& m, std::uint16_t key) {
  int& sel = m.move.selected;
  Folder& f = m.folders[sel];
  const std::vector<int> children = ChildrenOf(m, sel);
  if (key == vk::kLeft) {
    if (f.expanded && !children.empty())
      f.expanded = false;
    else if (f.parent >= 0)
      sel = f.parent;
  } else if (key == vk::kRight) {
    if (children.empty()) return;
    if (!f.expanded)
      f.expanded = true;
    else
      sel = children.front();
  } else if (key == vk::kDown || key == vk::kUp) {
    std::vector<int> visible;
    VisibleFolders(m, 0, visible);
    auto it = std::find(visible.begin(), visible.end(), sel);
    const int at = static_cast<int>(it - visible.begin());
    const int to = std::clamp(at + (key == vk::kDown ? 1 : -1), 0, static_cast<int>(visible.size()) - 1);
    sel = visible[to];
  }
}

void MoveClose(Model& m, bool keep, Changes& out) {
  if (keep) {
    m.editor.action_folder[m.move.action] = FolderPath(m, m.move.selected);
    m.editor.action_folder_name[m.move.action] = m.folders[m.move.selected].name;
  }
  Close(m, Dialog::Move, out);
  m.editor.link = -1;
}

void MoveKey(Model& m, const KeyEvent& key, Changes& out) {
  MoveDialog& mv = m.move;
  if (key.vk == vk::kTab) {
    mv.focus = Cycle(mv.focus, kMoveFocusCount, key.shift);
    return;
  }
  if (key.vk == vk::kEscape) return MoveClose(m, false, out);
  if (key.vk == vk::kReturn || (key.vk == vk::kSpace && mv.focus != 0)) {
    if (mv.focus == 2) {
      m.new_folder = NewFolderDialog{};
      Open(m, Dialog::NewFolder, out);
    } else {
      MoveClose(m, mv.focus != 3, out);
    }
    return;
  }
  if (mv.focus == 0) TreeKey(m, key.vk);
}

void NewFolderClose(Model& m, bool keep, Changes& out) {
  if (keep) {
    const std::string& name = m.new_folder.name;
    if (name.empty()) return;  // a folder needs a name: stays open
    const int parent = m.move.selected;
    int made = -1;
    for (int child : ChildrenOf(m, parent))
      if (m.folders[child].name == name) made = child;
    if (made < 0) {
      m.folders.push_back({name, parent, false});
      made = static_cast<int>(m.folders.size()) - 1;
    }
    m.folders[parent].expanded = true;
    m.move.selected = made;
  }
  Close(m, Dialog::NewFolder, out);
  m.move.focus = 0;
}

void NewFolderKey(Model& m, const KeyEvent& key, Changes& out) {
  NewFolderDialog& nf = m.new_folder;
  if (key.vk == vk::kTab) {
    nf.focus = Cycle(nf.focus, kNewFolderFocusCount, key.shift);
    return;
  }
  if (key.vk == vk::kEscape) return NewFolderClose(m, false, out);
  if (key.vk == vk::kReturn || (key.vk == vk::kSpace && nf.focus != 0))
    return NewFolderClose(m, nf.focus != 2, out);
  if (nf.focus == 0)
    if (char c = Typed(key)) nf.name += c;
}

// ---- Message Rules -------------------------------------------------------

void ListKey(Model& m, const KeyEvent& key, Changes& out) {
  RulesList& l = m.list;
  if (key.vk == vk::kTab) {
    l.focus = Cycle(l.focus, kListFocusCount, key.shift);
    return;
  }
  int button = -1;
  if (key.vk == vk::kEscape) button = kListCancel;
  if (key.vk == vk::kReturn) button = l.focus == 0 ? kListOk : l.focus;
  if (key.vk == vk::kSpace && l.focus != 0) button = l.focus;
  if (button == kListNew) {
    OpenEditor(m, true, out);
  } else if (button == kListRemove) {
    if (!m.rules.empty()) m.rules.erase(m.rules.begin());
  } else if (button == kListOk) {
    Close(m, Dialog::MessageRules, out);
  } else if (button == kListCancel) {
    m.rules = l.rules_when_opened;
    Close(m, Dialog::MessageRules, out);
  }
}

// ---- Main window and its menu --------------------------------------------

void MenuCommand(Model& m, Changes& out) {
  if (m.menu_commands_to_ignore > 0) {
    --m.menu_commands_to_ignore;
    return;
  }
  if (m.rules.empty())
    OpenEditor(m, false, out);
  else
    OpenList(m, m.rules, out);
}

void MainKey(Model& m, const KeyEvent& key, Changes& out) {
  if (key.vk == vk::kAlt) {
    if (key.down) {
      m.alt_pressed_alone = true;
    } else if (m.alt_pressed_alone) {
      m.alt_pressed_alone = false;
      m.menu = Menu::Closed;  // Alt tapped alone only toggles the menu bar's focus
    }
    return;
  }
  if (!key.down || key.vk == vk::kShift) return;
  m.alt_pressed_alone = false;
  if (key.alt) {
    m.menu = key.vk == 'T' ? Menu::Tools : Menu::Closed;
    return;
  }
  if (m.menu == Menu::Tools && key.vk == 'R') {
    m.menu = Menu::MessageRulesSubmenu;
  } else if (m.menu == Menu::MessageRulesSubmenu && key.vk == 'M') {
    m.menu = Menu::Closed;
    MenuCommand(m, out);
  } else {
    m.menu = Menu::Closed;
  }
}

}  // namespace

const char* TitleOf(Dialog dialog) {
  switch (dialog) {
    case Dialog::Main: return "";
    case Dialog::NewMailRule: return "New Mail Rule";
    case Dialog::MessageRules: return "Message Rules";
    case Dialog::TypeSpecificWords: return "Type Specific Words";
    case Dialog::Move: return "Move";
    case Dialog::NewFolder: return "New Folder";
  }
  return "";
}

std::string Describe(const Rule& rule) {
  std::string s = "\"" + rule.name + "\":";
  for (const Condition& c : rule.conditions) {
    s += " " + c.text;
    for (const std::string& w : c.words) s += " [" + w + "]";
    s += ";";
  }
  for (const Action& a : rule.actions) {
    s += " " + a.text;
    if (a.wants_folder) s += " [" + a.folder_path + "]";
    s += ";";
  }
  return s;
}

Model MakeModel(bool with_existing_rule) {
  Model m;
  m.folders = {{"Local Folders", -1, true}, {"Inbox", 0, false},         {"Outbox", 0, false},
               {"Sent Items", 0, false},    {"Deleted Items", 0, false}, {"Drafts", 0, false}};
  if (with_existing_rule) {
    m.rules.push_back({"Newsletters", {{kConditions[0].text, false, {}}}, {{kActions[2].text, false, "", ""}}});
  }
  return m;
}

Dialog Active(const Model& model) { return model.stack.empty() ? Dialog::Main : model.stack.back(); }

std::vector<Change> Deliver(Model& m, Dialog target, const KeyEvent& key) {
  Changes out;
  if (target != Active(m)) {
    if (key.down) ++m.keys_ignored;
    return out;
  }
  if (target == Dialog::Main) {
    MainKey(m, key, out);
    return out;
  }
  if (!key.down) return out;
  switch (target) {
    case Dialog::NewMailRule: EditorKey(m, key, out); break;
    case Dialog::MessageRules: ListKey(m, key, out); break;
    case Dialog::TypeSpecificWords: WordsKey(m, key, out); break;
    case Dialog::Move: MoveKey(m, key, out); break;
    case Dialog::NewFolder: NewFolderKey(m, key, out); break;
    case Dialog::Main: break;
  }
  return out;
}

std::vector<Change> MenuBarButtonDown(Model& m, int x, int y) {
  Changes out;
  if (Active(m) != Dialog::Main) return out;
  m.menu = Menu::Closed;
  if (y < 0 || y >= kMenuBarHeight) return out;
  for (const MenuButton& b : kMenuButtons)
    if (x >= b.left && x < b.right) m.menu = b.opens;
  return out;
}

std::vector<Change> Dismiss(Model& m, Dialog dialog) {
  Changes out;
  switch (dialog) {
    case Dialog::NewMailRule: EditorCancel(m, out); break;
    case Dialog::MessageRules: Close(m, Dialog::MessageRules, out); break;
    case Dialog::TypeSpecificWords: WordsClose(m, false, out); break;
    case Dialog::Move: MoveClose(m, false, out); break;
    case Dialog::NewFolder: NewFolderClose(m, false, out); break;
    case Dialog::Main: break;
  }
  return out;
}

std::string FolderPath(const Model& m, int folder) {
  std::string path = m.folders[folder].name;
  for (int p = m.folders[folder].parent; p >= 0; p = m.folders[p].parent) path = m.folders[p].name + "\\" + path;
  return path;
}

const Rule* FindRule(const Model& m, const std::string& name) {
  for (const Rule& r : m.rules)
    if (r.name == name) return &r;
  return nullptr;
}

}  // namespace mailclient
