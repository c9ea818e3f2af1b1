#include "GoldenDriver.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

[[noreturn]] void FormatError(const std::string& path, int lineNo, const std::string& what)
{
    throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": " + what);
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

std::string Unescape(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' &&
            HexDigit(text[i + 2]) >= 0 && HexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The text between the first and the last backtick of `rest`.
std::string QuotedText(const std::string& rest, const std::string& path, int lineNo)
{
    const std::size_t first = rest.find('`');
    const std::size_t last = rest.rfind('`');
    if (first == std::string::npos || last == first)
        FormatError(path, lineNo, "text must stand between backticks");
    return Unescape(rest.substr(first + 1, last - first - 1));
}

std::string Trim(const std::string& s)
{
    const std::size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos)
        return {};
    const std::size_t e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

TQvHighlighterRange ParseRange(const std::string& word, const std::string& path, int lineNo)
{
    try {
        std::size_t used = 0;
        const long long value = std::stoll(word, &used);
        if (used != word.size())
            FormatError(path, lineNo, "bad range '" + word + "'");
        return static_cast<TQvHighlighterRange>(value);
    } catch (const std::logic_error&) {
        FormatError(path, lineNo, "bad range '" + word + "'");
    }
}

std::string Printable(const std::string& text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c < 32 || c >= 127) {
            static const char digits[] = "0123456789ABCDEF";
            out += "\\x";
            out += digits[c >> 4];
            out += digits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::string KindName(int kind, const std::map<std::string, int>& kindNames)
{
    for (const auto& [name, value] : kindNames)
        if (value == kind)
            return name;
    return "kind " + std::to_string(kind);
}

}  // namespace

std::vector<TGoldenCase> LoadGoldenFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    std::vector<TGoldenCase> cases;
    std::string raw;
    int lineNo = 0;
    while (std::getline(in, raw)) {
        ++lineNo;
        const std::string line = Trim(raw);
        if (line.empty() || line[0] == '#')
            continue;
        const std::size_t blank = line.find(' ');
        const std::string word = line.substr(0, blank);
        const std::string rest = blank == std::string::npos ? "" : Trim(line.substr(blank));
        if (word == "case") {
            cases.push_back(TGoldenCase{rest, true, 0, {}});
            continue;
        }
        if (cases.empty())
            FormatError(path, lineNo, "'" + word + "' before the first case");
        TGoldenCase& current = cases.back();
        if (word == "start") {
            if (!current.Lines.empty())
                FormatError(path, lineNo, "start after the first line");
            current.Reset = rest == "reset";
            if (!current.Reset)
                current.StartRange = ParseRange(rest, path, lineNo);
        } else if (word == "line") {
            current.Lines.push_back(TGoldenLine{QuotedText(rest, path, lineNo), {}, -1, lineNo});
        } else if (word == "end") {
            if (current.Lines.empty() || current.Lines.back().EndRange != -1)
                FormatError(path, lineNo, "end without its line");
            current.Lines.back().EndRange = ParseRange(rest, path, lineNo);
        } else if (word.rfind("tk", 0) == 0) {
            if (current.Lines.empty() || current.Lines.back().EndRange != -1)
                FormatError(path, lineNo, "token outside a line");
            current.Lines.back().Tokens.push_back({word, QuotedText(rest, path, lineNo)});
        } else {
            FormatError(path, lineNo, "unknown item '" + word + "'");
        }
    }
    for (const TGoldenCase& c : cases)
        for (const TGoldenLine& l : c.Lines)
            if (l.EndRange == -1)
                FormatError(path, l.SourceLine, "line without end");
    return cases;
}

void RunGoldenCase(TQvCustomHighlighter& highlighter, const TGoldenCase& golden,
                   const std::map<std::string, int>& kindNames)
{
    SCOPED_TRACE("case " + golden.Name);
    if (golden.Reset)
        highlighter.ResetRange();
    else
        highlighter.SetRange(golden.StartRange);
    int lineIndex = 0;
    for (const TGoldenLine& line : golden.Lines) {
        SCOPED_TRACE("golden file line " + std::to_string(line.SourceLine));
        for (const TGoldenToken& token : line.Tokens)
            ASSERT_TRUE(kindNames.count(token.Kind)) << "unknown kind " << token.Kind;

        std::vector<TGoldenToken> actual;
        highlighter.SetLine(line.Text, lineIndex++);
        const std::size_t limit = 3 * line.Text.size() + 3;
        Integer expectedPos = 0;
        while (!highlighter.GetEol() && actual.size() <= limit) {
            EXPECT_EQ(highlighter.GetTokenPos(), expectedPos);
            const std::string text = highlighter.GetToken();
            actual.push_back({KindName(highlighter.GetTokenKind(), kindNames), text});
            expectedPos = highlighter.GetTokenPos() + static_cast<Integer>(text.size());
            highlighter.Next();
        }
        ASSERT_TRUE(highlighter.GetEol()) << "the line does not end";
        EXPECT_EQ(highlighter.GetTokenPos(), static_cast<Integer>(line.Text.size()));

        std::ostringstream want;
        std::ostringstream got;
        for (const TGoldenToken& t : line.Tokens)
            want << t.Kind << " `" << Printable(t.Text) << "`\n";
        for (const TGoldenToken& t : actual)
            got << t.Kind << " `" << Printable(t.Text) << "`\n";
        EXPECT_EQ(want.str(), got.str()) << "line `" << Printable(line.Text) << "`";
        EXPECT_EQ(highlighter.GetRange(), line.EndRange);
        highlighter.SetRange(highlighter.GetRange());
    }
}

void RunGoldenFile(TQvCustomHighlighter& highlighter, const std::string& fileName,
                   const std::map<std::string, int>& kindNames)
{
    SCOPED_TRACE(fileName);
    const auto cases = LoadGoldenFile(std::string(QV_TEST_DATA_DIR "/") + fileName);
    ASSERT_FALSE(cases.empty());
    for (const TGoldenCase& golden : cases)
        RunGoldenCase(highlighter, golden, kindNames);
}

std::vector<std::string> GoldenLines()
{
    std::vector<std::string> lines;
    for (const auto& entry : std::filesystem::directory_iterator(QV_TEST_DATA_DIR)) {
        if (entry.path().extension() != ".golden")
            continue;
        for (const TGoldenCase& golden : LoadGoldenFile(entry.path().string()))
            for (const TGoldenLine& line : golden.Lines)
                lines.push_back(line.Text);
    }
    return lines;
}
