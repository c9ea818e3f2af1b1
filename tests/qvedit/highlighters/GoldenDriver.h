#pragma once
// Golden token streams: hand-written expectations of what a highlighter makes of lines.
//
// A golden file holds cases. Each case starts a fresh run of lines; every line is
// scanned the way the editor scans it: the first line after ResetRange (or SetRange with
// the given start value), every later line after SetRange with the range the line above
// ended in; SetLine, then Next until GetEol. The file format, one item per line:
//
//   # a comment (blank lines are ignored too)
//   case <name>            starts a case
//   start reset | <n>      the range before the case's first line (default: reset)
//   line `<text>`          a line of text
//     <kind> `<text>`      the line's tokens in order: kind name and exact text
//   end <n>                the range after the line's last token
//
// Texts run from the first to the last backtick of the line, so they may contain
// backticks and keep leading and trailing blanks. Inside a text, \xHH stands for the byte
// with that hexadecimal code (for tabs, line breaks, bytes above 127); every other
// backslash is itself. The end-of-line token is implied: after the listed tokens the
// highlighter must report GetEol at the end of the line.

#include <map>
#include <string>
#include <vector>

#include "qvedit/core/QvEditHighlighter.h"

struct TGoldenToken {
    std::string Kind;
    std::string Text;
};

struct TGoldenLine {
    std::string Text;
    std::vector<TGoldenToken> Tokens;
    TQvHighlighterRange EndRange = 0;
    int SourceLine = 0;  // line number in the golden file, for failure messages
};

struct TGoldenCase {
    std::string Name;
    bool Reset = true;
    TQvHighlighterRange StartRange = 0;
    std::vector<TGoldenLine> Lines;
};

// Reads a golden file; a malformed file raises std::runtime_error naming the line.
std::vector<TGoldenCase> LoadGoldenFile(const std::string& path);

// The lines of every golden file in the test data folder: real code of each language,
// written case by case.
std::vector<std::string> GoldenLines();

// Scans every line of the case with the highlighter and checks tokens, kinds, positions
// and end ranges with GoogleTest assertions. kindNames maps the kind names of the file
// to the highlighter's ordinals.
void RunGoldenCase(TQvCustomHighlighter& highlighter, const TGoldenCase& golden,
                   const std::map<std::string, int>& kindNames);

// Runs every case of the golden file `fileName` in the test data folder; a file without
// cases fails.
void RunGoldenFile(TQvCustomHighlighter& highlighter, const std::string& fileName,
                   const std::map<std::string, int>& kindNames);
