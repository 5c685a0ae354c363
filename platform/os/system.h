#pragma once

// Process and shell services: stands in for GetComputerName,
// OutputDebugString, FormatMessage on an error number, the shell's documents
// folder, ShellExecute "open" and WinMain's single command-line text.

#include <string>
#include <string_view>

namespace os {

// The host name cut to 15 characters, as Windows computer names are.
std::string ComputerName();

// The environment variable that turns the debugger output on: set to
// anything but empty or "0".
inline constexpr const char* kDebugOutputVariable = "KORV_DEBUG_OUTPUT";
// Whether the debugger output is on, read from the environment at each call.
bool DebugOutputEnabled();
// Debugger output: while it is on, the text goes to standard error as it is;
// otherwise it goes nowhere (there is no debugger to show it, and a terminal
// would show it beside standard output).
void DebugOutput(std::string_view text);

// A system text for an errno number, phrased as Windows phrases it where the
// program shows it (2 gives "The system cannot find the file specified.").
std::string ErrorText(int error);

// The user's documents folder, without a trailing '/', created when missing:
// $XDG_DOCUMENTS_DIR, else XDG_DOCUMENTS_DIR in user-dirs.dirs (under
// $XDG_CONFIG_HOME, else ~/.config) with $HOME expanded, else ~/Documents.
std::string DocumentsFolder();
// The folder the text of a user-dirs.dirs file names for documents (its last
// usable XDG_DOCUMENTS_DIR line, $HOME replaced by home), or empty.
std::string DocumentsFromUserDirsText(std::string_view text, const std::string& home);

// Opens a web address, a folder or a file with the desktop's handler
// (xdg-open), in the background; never waits for it. False when no handler
// can be started. Paths are resolved like every other path.
bool OpenInShell(std::string_view target);

// argv[1..] as one command-line text; words holding blanks (or nothing) are quoted.
std::string JoinCommandLine(int argc, const char* const* argv);

}  // namespace os
