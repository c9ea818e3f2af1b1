// What a real modal window (a message box, a common dialog) shows, for suites that do not
// include Qt themselves.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Runs Open, which shows a modal window and waits for it; once the window is up, takes
// the texts of its visible buttons (UTF-8, in the window's order) and closes it as Escape
// would. Empty when no modal window came up within a minute.
std::vector<std::string> ButtonsOfModalWindow(const std::function<void()>& Open);
