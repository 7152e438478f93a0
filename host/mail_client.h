// What the setup relies on from the mail client: where it is started from
// and how its windows are recognised (class, and title where it matters).
#pragma once

namespace mail_client {

// Started with the path in double quotes and no arguments; no other
// location is tried.
inline constexpr const char* kLaunchCommandLine = "\"C:\\Program Files\\Outlook Express\\msimn.exe\"";

inline constexpr const char* kMainWindowClass = "Outlook Express Browser Class";
inline constexpr const char* kRebarHostClass = "SizableRebar";
inline constexpr const char* kRebarClass = "ReBarWindow32";
inline constexpr const char* kToolbarClass = "ToolbarWindow32";

inline constexpr const char* kDialogClass = "#32770";
inline constexpr const char* kNewMailRuleTitle = "New Mail Rule";
inline constexpr const char* kMessageRulesTitle = "Message Rules";
inline constexpr const char* kTypeSpecificWordsTitle = "Type Specific Words";
inline constexpr const char* kMoveTitle = "Move";

}  // namespace mail_client
