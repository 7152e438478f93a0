// The one door from the setup logic to the platform. Every operation keeps
// the Win32 name, parameters and result; the logic calls them as host::X and
// cannot tell which backend answers: host/win32.cpp (the real calls) or the
// simulated desktop.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#else
#include "host/desktop_types.h"
#endif

namespace host {

HWND FindWindowA(LPCSTR class_name, LPCSTR window_name);
HWND FindWindowExA(HWND parent, HWND child_after, LPCSTR class_name, LPCSTR window_name);
HWND GetForegroundWindow();
HWND GetActiveWindow();
BOOL IsWindowVisible(HWND window);
BOOL ShowWindow(HWND window, int show_command);
BOOL SetForegroundWindow(HWND window);
HWND SetActiveWindow(HWND window);
HWND SetFocus(HWND window);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
UINT SendInput(UINT count, INPUT* inputs, int size);
BOOL BlockInput(BOOL block);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
UINT WinExec(LPCSTR command_line, UINT show_command);
void Sleep(DWORD milliseconds);
// The normal process exit of the C runtime: exit handlers run, then the
// process ends with the given status.
[[noreturn]] void exit(int status);

}  // namespace host
