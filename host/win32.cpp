// The Windows backend: each operation is the direct platform call.
#include "host/platform.h"

#include <cstdlib>

namespace host {

HWND FindWindowA(LPCSTR class_name, LPCSTR window_name) {
  return ::FindWindowA(class_name, window_name);
}
HWND FindWindowExA(HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name) {
  return ::FindWindowExA(parent, child_after, class_name, window_name);
}
HWND GetForegroundWindow() { return ::GetForegroundWindow(); }
HWND GetActiveWindow() { return ::GetActiveWindow(); }
BOOL IsWindowVisible(HWND window) { return ::IsWindowVisible(window); }
BOOL ShowWindow(HWND window, int show_command) { return ::ShowWindow(window, show_command); }
BOOL SetForegroundWindow(HWND window) { return ::SetForegroundWindow(window); }
HWND SetActiveWindow(HWND window) { return ::SetActiveWindow(window); }
HWND SetFocus(HWND window) { return ::SetFocus(window); }
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return ::SendMessageA(window, message, wparam, lparam);
}
UINT SendInput(UINT count, INPUT* inputs, int size) { return ::SendInput(count, inputs, size); }
BOOL BlockInput(BOOL block) { return ::BlockInput(block); }
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style) {
  return ::MessageBoxA(owner, text, caption, style);
}
UINT WinExec(LPCSTR command_line, UINT show_command) { return ::WinExec(command_line, show_command); }
void Sleep(DWORD milliseconds) { ::Sleep(milliseconds); }
void exit(int status) { std::exit(status); }

}  // namespace host
