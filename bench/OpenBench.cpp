// File Open to the first paint, for every highlighter the main window gives a file by its
// name (each one its extension table lists, and names it does not list, which get the page
// highlighter), at 10 MB and 100 MB of real text of its language (LanguageCorpus.h): our
// main window's File Open (MainWindowOpen.h) against the peer (the Qt port of an open editor
// component) reading the same file with its matching lexer attached before its text, in
// real windows of the same size and font. The peer has no lexer for VBScript (its text is
// opened plain) and opens form files with its Pascal lexer; no package holds VBScript, whose
// text is a script written for this benchmark, over and over. Each case: one warm-up, then
// the sides taking turns; the medians and their ratio, and a table of all cases at the end.
// Each case is followed by a Ctrl+End after a fresh open, timed to its paint: what each side
// left at the open for the view to reach.
// Arguments: none runs every case; a language's name (as the table names it) runs its two.
#include "LanguageCorpus.h"
#include "MainWindowOpen.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerjson.h>
#include <Qsci/qscilexerpascal.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>

#include <fstream>
#include <iomanip>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 5;

struct TLanguage {
    const char* Name;  // as the argument and the table name it
    std::vector<std::string> Packages;  // their folders in the corpus; none for the VBScript text
    std::vector<std::string> Extensions;
    const char* FileName;  // the text is written as /tmp/qv-open-SIZE-FileName
    const char* Highlighter;  // the language name of the highlighter the window must choose
    std::function<QsciLexer*()> PeerLexer;  // null: the peer opens the text plain
};

template <class TLexer>
std::function<QsciLexer*()> Lexer()
{
    return [] { return static_cast<QsciLexer*>(new TLexer); };
}

const std::vector<TLanguage>& Languages()
{
    static const std::vector<TLanguage> languages = {
        {"html", {"phpmyadmin"}, {".html"}, "a.html", "Multi", Lexer<QsciLexerHTML>()},
        {"php", {"wordpress"}, {".php"}, "a.php", "PHP", Lexer<TPeerPhpLexer>()},
        {"xml", {"xkb-data", "shared-mime-info"}, {".xml"}, "a.xml", "XML", Lexer<QsciLexerXML>()},
        {"perl", {"perl-modules-5.36"}, {".pm", ".pl"}, "a.pl", "Perl", Lexer<QsciLexerPerl>()},
        {"js", {"wordpress"}, {".js"}, "a.js", "JavaScript", Lexer<QsciLexerJavaScript>()},
        {"vb", {}, {}, "a.vb", "VBScript", nullptr},
        {"sql", {"postgresql-15"}, {".sql"}, "a.sql", "SQL", Lexer<QsciLexerSQL>()},
        {"cpp", {"libstdc++-12-dev/usr/include"}, {""}, "a.cpp", "C++", Lexer<QsciLexerCPP>()},
        {"dfm", {"python-pyparsing-doc"}, {".dfm"}, "a.dfm", "Form", Lexer<QsciLexerPascal>()},
        {"json", {"wordpress"}, {".json"}, "a.json", "Multi", Lexer<QsciLexerJSON>()},
        {"css", {"wordpress"}, {".css"}, "a.css", "Multi", Lexer<QsciLexerCSS>()},
    };
    return languages;
}

// A page's server script in VBScript, as such pages are written.
const char* const VBScriptText =
    "' Lists the orders of a customer, a page at a time\n"
    "Option Explicit\n"
    "Dim conn, rs, sql, page, pageSize, customerId\n"
    "pageSize = 25\n"
    "customerId = CLng(Request.QueryString(\"id\"))\n"
    "If Request.QueryString(\"page\") <> \"\" Then\n"
    "    page = CInt(Request.QueryString(\"page\"))\n"
    "Else\n"
    "    page = 1\n"
    "End If\n"
    "Set conn = Server.CreateObject(\"ADODB.Connection\")\n"
    "conn.Open Application(\"ConnectionString\")\n"
    "sql = \"SELECT OrderId, OrderDate, Total FROM Orders WHERE CustomerId = \" & customerId & _\n"
    "      \" ORDER BY OrderDate DESC\"\n"
    "Set rs = conn.Execute(sql)\n"
    "Function FormatTotal(value)\n"
    "    If IsNull(value) Then\n"
    "        FormatTotal = \"-\"\n"
    "    Else\n"
    "        FormatTotal = FormatCurrency(value, 2) ' two decimals\n"
    "    End If\n"
    "End Function\n"
    "Sub WriteRow(id, dateValue, total)\n"
    "    Response.Write \"<tr><td>\" & id & \"</td><td>\" & FormatDateTime(dateValue, vbShortDate) & _\n"
    "                   \"</td><td>\" & FormatTotal(total) & \"</td></tr>\" & vbCrLf\n"
    "End Sub\n"
    "Dim i : i = 0\n"
    "Do While Not rs.EOF And i < page * pageSize\n"
    "    If i >= (page - 1) * pageSize Then WriteRow rs(\"OrderId\"), rs(\"OrderDate\"), rs(\"Total\")\n"
    "    i = i + 1\n"
    "    rs.MoveNext\n"
    "Loop\n"
    "rs.Close : conn.Close\n"
    "Set rs = Nothing : Set conn = Nothing\n";

std::string Path(const TLanguage& Language, const std::string& Size)
{
    return "/tmp/qv-open-" + Size + "-" + Language.FileName;
}

// Writes the case's file once: Bytes of the language's text, cut at the end of a line.
void MakeFile(const TLanguage& Language, const std::string& Size, std::size_t Bytes)
{
    const std::string path = Path(Language, Size);
    if (std::filesystem::exists(path) && std::filesystem::file_size(path) >= Bytes &&
        std::filesystem::file_size(path) < Bytes + 1024 * 1024)
        return;
    std::string text;
    if (Language.Packages.empty()) {
        while (text.size() < Bytes)
            text += VBScriptText;
    } else {
        text = LanguageText(Language.Packages, Language.Extensions, 0, Bytes);
    }
    WriteFile(path, text);
}

struct TRow {
    std::string Case;
    TComparison Times;
};

}  // namespace

int main(int argc, char** argv)
{
    TMainWindowBenchRun run(argc, argv);
    const std::string only = argc > 1 ? argv[1] : "";
    const TWindowLook look = OurWindowLook();
    std::vector<TRow> rows;
    for (const TLanguage& language : Languages()) {
        if (!only.empty() && only != language.Name)
            continue;
        for (const auto& [size, bytes] : {std::pair<std::string, std::size_t>{"10MB", 10'000'000},
                                          std::pair<std::string, std::size_t>{"100MB", 100'000'000}}) {
            MakeFile(language, size, bytes);
            const std::string file = Path(language, size);
            std::string chosen;
            const std::string what = std::string("open ") + language.FileName + " " + size + " to first paint";
            const TComparison times = Compare(
                what, Runs,
                [&] {
                    return OurOpen(file, [&](TfrmEdit& Form) {
                        TQvCustomHighlighter* h = Form.Editor->GetHighlighter();
                        chosen = h != nullptr ? h->GetLanguageName() : "none";
                    });
                },
                [&] { return PeerOpen(look, file, language.PeerLexer); });
            if (chosen.find(language.Highlighter) == std::string::npos)
                std::cerr << "  our window chose the " << chosen << " highlighter, not " << language.Highlighter
                          << "\n";
            rows.push_back({std::string(language.FileName) + " " + size + " (" + chosen + ")", times});
            // What the open left for later: the colours of every line up to the end.
            const TComparison end = Compare(
                std::string("then Ctrl+End in ") + language.FileName + " " + size + " to its paint", Runs,
                [&] { return OurOpen(file, nullptr, TOpenTimed::EndAfterOpen); },
                [&] { return PeerOpen(look, file, language.PeerLexer, TOpenTimed::EndAfterOpen); });
            rows.push_back({std::string("  then Ctrl+End"), end});
        }
    }
    std::cout << "\n" << std::left << std::setw(40) << "case (our highlighter)" << std::right << std::setw(10)
              << "ours ms" << std::setw(10) << "peer ms" << std::setw(8) << "ratio" << "\n";
    for (const TRow& row : rows)
        std::cout << std::left << std::setw(40) << row.Case << std::right << std::fixed << std::setprecision(1)
                  << std::setw(10) << row.Times.Ours << std::setw(10) << row.Times.Peer << std::setprecision(2)
                  << std::setw(8) << row.Times.Ratio() << "\n";
    return 0;
}
