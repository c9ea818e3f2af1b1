// ShellExecute: opening a document, a web or mail address, or starting this program again.
#pragma once

#include "platform/window/WinApi.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

// Results below 33 are failures.
constexpr std::intptr_t SE_ERR_FNF = 2;           // the file does not exist
constexpr std::intptr_t SE_ERR_ACCESSDENIED = 5;  // the system refused
constexpr std::intptr_t SE_ERR_NOASSOC = 31;      // no program for the verb or the address
constexpr std::intptr_t SE_SUCCESS = 42;          // any value above 32 is success

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;

// Does Operation ("open", or "" for the same) on File (bytes: a file name as the file
// system has it, or an address such as "https://..." or "mailto:..."). This program's own
// file starts a new, independent copy of it with Parameters (split like a command line)
// in Directory; any other existing file or folder, and any address, opens in the
// program the desktop has for it. A relative file name is taken from Directory when
// given. Wnd and ShowCmd are accepted for the classic call's sake and not used.
// Returns SE_SUCCESS, or the failure's code below 33.
std::intptr_t ShellExecute(HWND Wnd, const std::string& Operation, const std::string& File,
                           const std::string& Parameters, const std::string& Directory, int ShowCmd);

// What the desktop is asked to do.
struct TShellAction {
    enum TKind { OpenUrl, StartProgram };
    TKind Kind = OpenUrl;
    std::string Target;                   // OpenUrl: the address (UTF-8, percent-encoded);
                                          // StartProgram: the program's file name
    std::vector<std::string> Arguments;   // StartProgram only
    std::string Directory;                // StartProgram only; "" for the current folder
};

// Carries the action out; false when the desktop refused it.
using TShellHandler = std::function<bool(const TShellAction& Action)>;
// Replaces what carries shell actions out (tests record them instead of opening a
// browser); an empty handler brings the desktop's back. Returns the previous handler.
TShellHandler SetShellHandler(TShellHandler Handler);
