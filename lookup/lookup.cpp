#include "lookup/lookup.h"

#include "host/mail_client.h"

namespace {

constexpr DWORD kPollIntervalMs = 50;
constexpr float kPollsPerSecond = 20.0f;

}  // namespace

HWND FindMailClientWindow() { return host::FindWindowA(mail_client::kMainWindowClass, nullptr); }

HWND FindMenuBar(HWND main_window) {
  if (main_window == nullptr) return nullptr;
  HWND rebar_host = host::FindWindowExA(main_window, nullptr, mail_client::kRebarHostClass, nullptr);
  if (rebar_host == nullptr) return nullptr;
  HWND rebar = host::FindWindowExA(rebar_host, nullptr, mail_client::kRebarClass, nullptr);
  if (rebar == nullptr) return nullptr;
  HWND toolbar = nullptr;
  for (int n = 0; n < 3; ++n) {
    toolbar = host::FindWindowExA(rebar, toolbar, mail_client::kToolbarClass, nullptr);
    if (toolbar == nullptr) return nullptr;
  }
  return toolbar;
}

bool WaitForWindow(LPCSTR class_name, LPCSTR title, float timeout_seconds) {
  const float polls = timeout_seconds * kPollsPerSecond;
  for (int i = 0; static_cast<float>(i) < polls; ++i) {
    host::Sleep(kPollIntervalMs);
    HWND window = host::FindWindowA(class_name, title);
    if (window != nullptr && window == host::GetForegroundWindow()) return true;
  }
  return false;
}
