// input-probe: small checks of how the desktop we run on treats activation,
// synthesized input and message boxes across processes. Used to learn (and
// re-check) what Wine does; see wine/NOTES.md.
//
//   input-probe.exe exit N
//       ends at once with status N.
//   input-probe.exe box STYLE CAPTION TEXT [OWNER_CLASS]
//       MessageBoxA with that style (a number), owned by the top-level window
//       of OWNER_CLASS when given; prints "box result=N" and ends with N.
//   input-probe.exe launch COMMAND_LINE
//       WinExec(COMMAND_LINE, SW_SHOW); prints its result and ends with 0.
//   input-probe.exe target LOG [modal-click]
//       a top-level window of class "ProbeTarget" that appends every key,
//       activation and button-down message it receives to LOG, one line each
//       with GetTickCount(). With modal-click, a button-down opens a message
//       box from inside the window procedure. Ends on WM_CLOSE or after 60 s.
//   input-probe.exe drive
//       finds the "ProbeTarget" window, brings it to the front, locks input,
//       types "ab", Alt+T, sends it a button-down message and unlocks input;
//       prints what each call returned and which window was in front.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kTargetClass[] = "ProbeTarget";
FILE* g_log = nullptr;
bool g_modal_click = false;

void LogMessage(const char* name, WPARAM wparam, LPARAM lparam) {
  if (!g_log) return;
  std::fprintf(g_log, "%lu %s wparam=0x%llx lparam=0x%llx\n", static_cast<unsigned long>(GetTickCount()), name,
               static_cast<unsigned long long>(wparam), static_cast<unsigned long long>(lparam));
  std::fflush(g_log);
}

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN: LogMessage("WM_KEYDOWN", wparam, lparam); return 0;
    case WM_KEYUP: LogMessage("WM_KEYUP", wparam, lparam); return 0;
    case WM_SYSKEYDOWN: LogMessage("WM_SYSKEYDOWN", wparam, lparam); return 0;
    case WM_SYSKEYUP: LogMessage("WM_SYSKEYUP", wparam, lparam); return 0;
    case WM_CHAR: LogMessage("WM_CHAR", wparam, lparam); return 0;
    case WM_SETFOCUS: LogMessage("WM_SETFOCUS", wparam, lparam); return 0;
    case WM_ACTIVATE: LogMessage("WM_ACTIVATE", wparam, lparam); break;
    case WM_LBUTTONDOWN:
      LogMessage("WM_LBUTTONDOWN", wparam, lparam);
      if (g_modal_click) MessageBoxA(window, "inside WM_LBUTTONDOWN", "Probe modal", MB_OK);
      LogMessage("WM_LBUTTONDOWN-done", wparam, lparam);
      return 0;
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

int RunTarget(const char* log_path) {
  g_log = std::fopen(log_path, "a");
  if (!g_log) return 2;
  WNDCLASSA wc = {};
  wc.lpfnWndProc = TargetProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kTargetClass;
  RegisterClassA(&wc);
  HWND window = CreateWindowA(kTargetClass, "Probe Target", WS_OVERLAPPEDWINDOW, 40, 40, 400, 300, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  SetTimer(window, 1, 60000, nullptr);
  LogMessage("ready", 0, 0);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  std::fclose(g_log);
  return 0;
}

void Key(WORD vk, bool up) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = vk;
  input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  UINT sent = SendInput(1, &input, sizeof input);
  std::printf("SendInput vk=0x%02x %s -> %u\n", vk, up ? "up" : "down", sent);
}

int RunDrive() {
  HWND target = FindWindowA(kTargetClass, nullptr);
  std::printf("FindWindowA -> %p\n", static_cast<void*>(target));
  if (!target) return 2;
  std::printf("foreground before: %s\n", GetForegroundWindow() == target ? "target" : "other");
  ShowWindow(target, SW_SHOWNORMAL);
  BOOL fg = SetForegroundWindow(target);
  HWND active = SetActiveWindow(target);
  HWND focus = SetFocus(target);
  std::printf("SetForegroundWindow -> %d, SetActiveWindow -> %p, SetFocus -> %p (error %lu)\n", fg,
              static_cast<void*>(active), static_cast<void*>(focus), GetLastError());
  Sleep(200);
  std::printf("foreground after: %s\n", GetForegroundWindow() == target ? "target" : "other");
  SetLastError(0);
  BOOL blocked = BlockInput(TRUE);
  std::printf("BlockInput(TRUE) -> %d (error %lu)\n", blocked, GetLastError());
  Key('A', false);
  Key('A', true);
  Key('B', false);
  Key('B', true);
  Key(VK_MENU, false);
  Key('T', false);
  Key('T', true);
  Key(VK_MENU, true);
  Sleep(200);
  DWORD before = GetTickCount();
  DWORD_PTR result = 0;
  LRESULT answered = SendMessageTimeoutA(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(125, 6), SMTO_NORMAL, 3000,
                                         &result);
  std::printf("SendMessageTimeoutA(WM_LBUTTONDOWN) -> %lld after %lu ms\n", static_cast<long long>(answered),
              static_cast<unsigned long>(GetTickCount() - before));
  SetLastError(0);
  BOOL unblocked = BlockInput(FALSE);
  std::printf("BlockInput(FALSE) -> %d (error %lu)\n", unblocked, GetLastError());
  std::fflush(stdout);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "exit") == 0) return std::atoi(argv[2]);
  if (argc >= 5 && std::strcmp(argv[1], "box") == 0) {
    HWND owner = argc >= 6 ? FindWindowA(argv[5], nullptr) : nullptr;
    int result = MessageBoxA(owner, argv[4], argv[3], static_cast<UINT>(std::strtoul(argv[2], nullptr, 0)));
    std::printf("box result=%d\n", result);
    std::fflush(stdout);
    return result;
  }
  if (argc >= 3 && std::strcmp(argv[1], "launch") == 0) {
    std::printf("WinExec -> %u\n", WinExec(argv[2], SW_SHOW));
    std::fflush(stdout);
    return 0;
  }
  if (argc >= 3 && std::strcmp(argv[1], "target") == 0) {
    g_modal_click = argc >= 4 && std::strcmp(argv[3], "modal-click") == 0;
    return RunTarget(argv[2]);
  }
  if (argc >= 2 && std::strcmp(argv[1], "drive") == 0) return RunDrive();
  std::fprintf(stderr, "usage: input-probe exit N | box STYLE CAPTION TEXT [OWNER_CLASS] | launch COMMAND_LINE | target LOG [modal-click] | drive\n");
  return 64;
}
