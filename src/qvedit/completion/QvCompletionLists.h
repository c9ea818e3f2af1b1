// The completion lists the program ships: the HTML tag rows (each shown text with the
// text it inserts) and the PHP names. They are data files compiled into the library; the
// completion lists and the main window's tag list both read them from here.
#pragma once

#include "platform/runtime/Classes.h"

#include <string>
#include <vector>

struct TQvCompletionRow {
    std::string Display;  // what the list shows: "<b>..</b>"
    std::string Insert;   // what picking it inserts: "<b></b>"
};

// The 110 standard HTML tags in alphabetical order, the comment first.
const std::vector<TQvCompletionRow>& HtmlTagRows();
// The PHP rows: the server variables, __FILE__, __LINE__, then the function names and
// keywords ignoring case; each row is inserted as it stands.
const std::vector<std::string>& PhpCompletionRows();

// Replace the lists' contents with the shown texts and, in the parallel list, the
// inserted texts of the HTML rows.
void AssignHtmlTagRows(TStrings& items, TStrings& inserts);
// Replaces the list's contents with the PHP rows.
void AssignPhpCompletionRows(TStrings& items);
