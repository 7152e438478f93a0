// box-watcher: finds a message box shown by another process on the same
// desktop, describes it on one line of JSON and answers it. Two helper modes
// wait for a window of a given class and list the top-level windows.
//
//   box-watcher.exe [--timeout-ms N] [--answer ok|cancel|close|none]
//                   [--process NAME] [--caption TEXT] [--gone-ms N]
//   box-watcher.exe --window CLASS [--title TITLE] [--timeout-ms N]
//   box-watcher.exe --list
//
// A message box is a visible top-level window of class "#32770" that has the
// message-text static (control id 0xFFFF) and belongs to another process; with
// --process only boxes of a process whose image file is NAME (no folder, any
// case) count, with --caption only boxes with exactly that caption. The first
// box found within --timeout-ms (default 10000) is described:
//
//   {"found":true,"hwnd":"0x...","pid":N,"process":"...","caption":"...",
//    "text":"...","foreground":true,"icon":false,
//    "owner":"0x...","owner_class":"...","owner_title":"...",
//    "buttons":["ok","cancel"],"answer":"ok","answered":true,"closed":true,
//    "elapsed_ms":N}
//
// and then answered: ok and cancel post the button's WM_COMMAND to the box
// (as a click on it would), close posts WM_CLOSE, none leaves it alone. The
// watcher then waits up to --gone-ms (default 3000) for the box to go away
// and says in "closed" whether it did. Nothing is ever sent that could block:
// text is read with SendMessageTimeoutA and answers are posted.
//
// --window waits up to --timeout-ms for a top-level window of class CLASS
// (and exact title TITLE), visible or not, and prints
//   {"found":true,"hwnd":"0x...","pid":N,"process":"...","class":"...",
//    "title":"...","visible":true,"foreground":false,"elapsed_ms":N}
// --list prints {"foreground":"0x...","windows":[{...},...]} with the same
// fields (no "found", "elapsed_ms") for every visible top-level window and
// the foreground window.
//
// Exit status: 0 box (or window) found (and, unless none, answered and
// gone); 2 none within the time-out ({"found":false,...}); 3 the asked-for
// button is not on the box (nothing posted); 4 answered but still there after
// --gone-ms; 64 bad command line.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kMessageTextId = 0xFFFF;
constexpr UINT kTextTimeoutMs = 2000;
constexpr DWORD kPollMs = 50;

struct Options {
  DWORD timeout_ms = 10000;
  DWORD gone_ms = 3000;
  std::string answer = "ok";
  std::string process;  // image file name to match, empty for any
  std::string caption;  // exact caption to match
  bool match_caption = false;
  std::string window_class;  // --window: class to wait for
  std::string title;         // --window: exact title to match
  bool match_title = false;
  bool list = false;
};

struct Search {
  const Options* options;
  DWORD own_pid;
  HWND found;
};

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string Hex(const void* p) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "0x%llx",
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(p)));
  return buffer;
}

// JSON string literal; bytes outside ASCII are taken as Latin-1.
std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (unsigned char c : s) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (c < 0x20 || c >= 0x7F) {
          char buffer[8];
          std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
          out += buffer;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string ClassOf(HWND window) {
  char buffer[256] = {};
  if (!window || !GetClassNameA(window, buffer, sizeof buffer)) return "";
  return buffer;
}

// The window's text by WM_GETTEXT, given up on when the owning thread does not
// answer in time; falls back to the text the system keeps for the window.
std::string TextOf(HWND window) {
  if (!window) return "";
  std::vector<char> buffer(8192, '\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                          SMTO_ABORTIFHUNG | SMTO_BLOCK, kTextTimeoutMs, &copied)) {
    return std::string(buffer.data(), static_cast<size_t>(copied) < buffer.size() ? copied : 0);
  }
  buffer.assign(buffer.size(), '\0');
  GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
  return buffer.data();
}

std::string ImageNameOf(DWORD pid) {
  HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
  if (!process) return "";
  char path[MAX_PATH * 2] = {};
  DWORD size = sizeof path;
  std::string name;
  if (QueryFullProcessImageNameA(process, 0, path, &size)) {
    name = path;
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name = name.substr(slash + 1);
  }
  CloseHandle(process);
  return name;
}

std::string TitleOf(HWND window) {
  char buffer[1024] = {};
  if (window) GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// The fields describing one top-level window, without the braces.
std::string DescribeWindow(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return "\"hwnd\":" + Quote(Hex(window)) + ",\"pid\":" + std::to_string(pid) +
         ",\"process\":" + Quote(ImageNameOf(pid)) + ",\"class\":" + Quote(ClassOf(window)) +
         ",\"title\":" + Quote(TitleOf(window)) + ",\"visible\":" + (IsWindowVisible(window) ? "true" : "false") +
         ",\"foreground\":" + (GetForegroundWindow() == window ? "true" : "false");
}

BOOL CALLBACK ListTopLevel(HWND window, LPARAM context) {
  std::string* out = reinterpret_cast<std::string*>(context);
  if (!IsWindowVisible(window) && GetForegroundWindow() != window) return TRUE;
  if (out->back() != '[') *out += ",";
  *out += "{" + DescribeWindow(window) + "}";
  return TRUE;
}

int ListWindows() {
  std::string out = "{\"foreground\":" + Quote(Hex(GetForegroundWindow())) + ",\"windows\":[";
  EnumWindows(ListTopLevel, reinterpret_cast<LPARAM>(&out));
  std::printf("%s]}\n", out.c_str());
  std::fflush(stdout);
  return 0;
}

int WaitForWindow(const Options& options) {
  const DWORD start = GetTickCount();
  for (;;) {
    HWND window = FindWindowA(options.window_class.c_str(), options.match_title ? options.title.c_str() : nullptr);
    if (window) {
      std::printf("{\"found\":true,%s,\"elapsed_ms\":%lu}\n", DescribeWindow(window).c_str(),
                  static_cast<unsigned long>(GetTickCount() - start));
      std::fflush(stdout);
      return 0;
    }
    if (GetTickCount() - start >= options.timeout_ms) break;
    Sleep(kPollMs);
  }
  std::printf("{\"found\":false,\"elapsed_ms\":%lu}\n", static_cast<unsigned long>(GetTickCount() - start));
  std::fflush(stdout);
  return 2;
}

bool IsCandidate(HWND window, const Search& search) {
  if (!IsWindowVisible(window) || ClassOf(window) != "#32770") return false;
  if (!GetDlgItem(window, kMessageTextId)) return false;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid == search.own_pid) return false;
  const Options& options = *search.options;
  if (!options.process.empty() && Lower(ImageNameOf(pid)) != Lower(options.process)) return false;
  if (options.match_caption) {
    char caption[1024] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (options.caption != caption) return false;
  }
  return true;
}

BOOL CALLBACK CheckTopLevel(HWND window, LPARAM context) {
  Search* search = reinterpret_cast<Search*>(context);
  if (IsCandidate(window, *search)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

struct ButtonScan {
  std::vector<int> ids;
  bool icon = false;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM context) {
  ButtonScan* scan = reinterpret_cast<ButtonScan*>(context);
  if (!IsWindowVisible(child)) return TRUE;
  std::string cls = Lower(ClassOf(child));
  LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
  if (cls == "button") {
    scan->ids.push_back(GetDlgCtrlID(child));
  } else if (cls == "static" && (style & SS_TYPEMASK) == SS_ICON) {
    DWORD_PTR icon = 0;
    if (SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kTextTimeoutMs, &icon) &&
        icon) {
      scan->icon = true;
    }
  }
  return TRUE;
}

const char* ButtonName(int id) {
  switch (id) {
    case IDOK: return "ok";
    case IDCANCEL: return "cancel";
    case IDABORT: return "abort";
    case IDRETRY: return "retry";
    case IDIGNORE: return "ignore";
    case IDYES: return "yes";
    case IDNO: return "no";
    default: return nullptr;
  }
}

bool ParseNumber(const char* text, DWORD* value) {
  char* end = nullptr;
  unsigned long parsed = std::strtoul(text, &end, 10);
  if (!*text || *end) return false;
  *value = static_cast<DWORD>(parsed);
  return true;
}

bool ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--list") {
      options->list = true;
      continue;
    }
    if (i + 1 >= argc) return false;
    const char* value = argv[++i];
    if (arg == "--timeout-ms") {
      if (!ParseNumber(value, &options->timeout_ms)) return false;
    } else if (arg == "--gone-ms") {
      if (!ParseNumber(value, &options->gone_ms)) return false;
    } else if (arg == "--answer") {
      options->answer = value;
      if (options->answer != "ok" && options->answer != "cancel" && options->answer != "close" &&
          options->answer != "none") {
        return false;
      }
    } else if (arg == "--process") {
      options->process = value;
    } else if (arg == "--caption") {
      options->caption = value;
      options->match_caption = true;
    } else if (arg == "--window") {
      options->window_class = value;
    } else if (arg == "--title") {
      options->title = value;
      options->match_title = true;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!ParseOptions(argc, argv, &options)) {
    std::fprintf(stderr,
                 "usage: box-watcher [--timeout-ms N] [--answer ok|cancel|close|none] "
                 "[--process NAME] [--caption TEXT] [--gone-ms N]\n"
                 "       box-watcher --window CLASS [--title TITLE] [--timeout-ms N]\n"
                 "       box-watcher --list\n");
    return 64;
  }
  if (options.list) return ListWindows();
  if (!options.window_class.empty()) return WaitForWindow(options);

  const DWORD start = GetTickCount();
  Search search{&options, GetCurrentProcessId(), nullptr};
  for (;;) {
    EnumWindows(CheckTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found || GetTickCount() - start >= options.timeout_ms) break;
    Sleep(kPollMs);
  }
  if (!search.found) {
    std::printf("{\"found\":false,\"elapsed_ms\":%lu}\n", static_cast<unsigned long>(GetTickCount() - start));
    std::fflush(stdout);
    return 2;
  }

  HWND box = search.found;
  DWORD pid = 0;
  GetWindowThreadProcessId(box, &pid);
  char caption[1024] = {};
  GetWindowTextA(box, caption, sizeof caption);
  std::string text = TextOf(GetDlgItem(box, kMessageTextId));
  HWND owner = GetWindow(box, GW_OWNER);
  const std::string owner_title = TitleOf(owner);
  ButtonScan scan;
  EnumChildWindows(box, ScanChild, reinterpret_cast<LPARAM>(&scan));
  const bool foreground = GetForegroundWindow() == box;
  const std::string process = ImageNameOf(pid);
  const DWORD found_ms = GetTickCount() - start;

  std::string buttons;
  bool has_ok = false;
  bool has_cancel = false;
  for (int id : scan.ids) {
    const char* name = ButtonName(id);
    if (!buttons.empty()) buttons += ",";
    buttons += name ? Quote(name) : std::to_string(id);
    has_ok = has_ok || id == IDOK;
    has_cancel = has_cancel || id == IDCANCEL;
  }

  int status = 0;
  bool answered = false;
  if (options.answer == "ok" || options.answer == "cancel") {
    const int id = options.answer == "ok" ? IDOK : IDCANCEL;
    if ((id == IDOK && has_ok) || (id == IDCANCEL && has_cancel)) {
      answered = PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                              reinterpret_cast<LPARAM>(GetDlgItem(box, id))) != FALSE;
    } else {
      status = 3;
    }
  } else if (options.answer == "close") {
    answered = PostMessageA(box, WM_CLOSE, 0, 0) != FALSE;
  }

  bool closed = false;
  if (answered) {
    const DWORD posted = GetTickCount();
    while (!(closed = !IsWindow(box) || !IsWindowVisible(box)) && GetTickCount() - posted < options.gone_ms) {
      Sleep(kPollMs);
    }
    if (!closed) status = 4;
  }

  std::printf(
      "{\"found\":true,\"hwnd\":%s,\"pid\":%lu,\"process\":%s,\"caption\":%s,\"text\":%s,"
      "\"foreground\":%s,\"icon\":%s,\"owner\":%s,\"owner_class\":%s,\"owner_title\":%s,"
      "\"buttons\":[%s],\"answer\":%s,\"answered\":%s,\"closed\":%s,\"elapsed_ms\":%lu}\n",
      Quote(Hex(box)).c_str(), static_cast<unsigned long>(pid), Quote(process).c_str(),
      Quote(caption).c_str(), Quote(text).c_str(), foreground ? "true" : "false", scan.icon ? "true" : "false",
      owner ? Quote(Hex(owner)).c_str() : "null", Quote(ClassOf(owner)).c_str(), Quote(owner_title).c_str(),
      buttons.c_str(), Quote(options.answer).c_str(), answered ? "true" : "false", closed ? "true" : "false",
      static_cast<unsigned long>(found_ms));
  std::fflush(stdout);
  return status;
}
