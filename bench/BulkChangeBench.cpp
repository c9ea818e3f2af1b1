// Bulk changes with the file's highlighter, in real windows: ours as the program runs it (the
// main window's editing options, the highlighter the program gives the file) beside the Qt
// port of the open editing component with its matching lexer attached before its text, same
// font and size. Each side of each case runs in a process of its own, every step capped at
// 60 s (BenchSteps.h); each step ends with the window repainted:
//   Select All and a key, its undo and its redo (then undone again, untimed);
//   a paste in the middle of the text and its undo: of the file's first 100,000 lines into
//   PHP files of 10 MB and 100 MB (the wordpress corpus), and of the whole text into itself
//   at 20,000 and 80,000 lines of real files of each language (LanguageCorpus.h);
//   the undo of deleting the first half of the lines (the deletion untimed).
// Arguments: none runs every case; "mb" the PHP files, "lines" the languages, or a
// language's name runs that one; "case SIDE LANGUAGE SIZE" is one side of one case.
#include "BenchSteps.h"
#include "EditorBenchSupport.h"
#include "LanguageCorpus.h"
#include "OurBenchEditor.h"
#include "ProgramConfiguration.h"
#include "platform/window/Clipboard.h"
#include "platform/window/Messages.h"
#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterHtml.h"

#include <Qsci/qscilexercpp.h>
#include <Qsci/qscilexercss.h>
#include <Qsci/qscilexerhtml.h>
#include <Qsci/qscilexerjavascript.h>
#include <Qsci/qscilexerperl.h>
#include <Qsci/qscilexersql.h>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

struct TLanguage {
    const char* Name;     // as the argument names it
    const char* Shown;    // as the tables show it
    std::vector<std::string> Packages;  // their folders in the corpus
    std::vector<std::string> Extensions;
    const char* FileName;  // the text is written as /tmp/qv-bulk-SIZE-FileName
    // The program's Highlighter menu choice; null for the page highlighter alone, which the
    // program uses inside the multi-language one.
    void (TfrmEdit::*Choice)(TObject*);
    std::function<QsciLexer*()> PeerLexer;  // null where the peer has none
};

const std::vector<TLanguage>& Languages()
{
    static const std::vector<TLanguage> languages = {
        {"php", "PHP", {"wordpress"}, {".php"}, "a.php", &TfrmEdit::PHP1Click, [] { return new TPeerPhpLexer; }},
        {"multi", "HTML pages, the main window's multi-language highlighter (.html and unlisted names)",
         {"debian-reference-en"}, {".html"}, "a.html", &TfrmEdit::HTML1Click, [] { return new QsciLexerHTML; }},
        {"html", "HTML pages, the page highlighter alone", {"debian-reference-en"}, {".html"}, "b.html", nullptr,
         [] { return new QsciLexerHTML; }},
        {"css", "CSS", {"wordpress"}, {".css"}, "a.css", &TfrmEdit::CSS1Click, [] { return new QsciLexerCSS; }},
        {"js", "JavaScript", {"wordpress"}, {".js"}, "a.js", &TfrmEdit::JavaScript1Click,
         [] { return new QsciLexerJavaScript; }},
        {"xml", "XML", {"xkb-data", "shared-mime-info"}, {".xml"}, "a.xml", &TfrmEdit::XHTML1Click,
         [] { return new QsciLexerXML; }},
        {"sql", "SQL", {"postgresql-15"}, {".sql"}, "a.sql", &TfrmEdit::SQL1Click, [] { return new QsciLexerSQL; }},
        {"perl", "Perl", {"perl-modules-5.36"}, {".pm", ".pl"}, "a.pl", &TfrmEdit::Perl1Click,
         [] { return new QsciLexerPerl; }},
        {"cpp", "C++", {"libstdc++-12-dev/usr/include"}, {""}, "a.cpp", &TfrmEdit::C1Click,
         [] { return new QsciLexerCPP; }},
        {"forms", "form files", {"python-pyparsing-doc"}, {".dfm"}, "a.dfm", &TfrmEdit::DfmFiles1Click, nullptr},
    };
    return languages;
}

const TLanguage* FindLanguage(const std::string& Name)
{
    for (const TLanguage& language : Languages())
        if (Name == language.Name)
            return &language;
    return nullptr;
}

// A size: "10MB" and "100MB" are bytes of PHP, else a number of lines.
bool IsBytes(const std::string& Size)
{
    return Size.find("MB") != std::string::npos;
}

constexpr int PastedLinesOfBigFiles = 100000;

std::string Path(const TLanguage& Language, const std::string& Size)
{
    return "/tmp/qv-bulk-" + Size + "-" + Language.FileName;
}

// The text of the case, written to its file once.
std::string CaseText(const TLanguage& Language, const std::string& Size)
{
    const std::string text =
        IsBytes(Size) ? LanguageText(Language.Packages, Language.Extensions, 0, std::stoul(Size) * 1000000u)
                      : LanguageText(Language.Packages, Language.Extensions, std::stoi(Size));
    WriteFile(Path(Language, Size), text);
    return text;
}

// What is pasted: the first lines of big files, else the whole text; CR LF ends each line.
std::string Pasted(const std::string& Text, const std::string& Size)
{
    std::string pasted;
    std::size_t start = 0;
    for (int line = 0; start < Text.size() && (!IsBytes(Size) || line < PastedLinesOfBigFiles); ++line) {
        std::size_t end = Text.find('\n', start);
        std::size_t stop = end;
        if (stop > start && Text[stop - 1] == '\r')
            --stop;
        pasted.append(Text, start, stop - start).append("\r\n");
        start = end + 1;
    }
    return pasted;
}

const char* const Steps[] = {"replace", "replace-undo", "replace-redo", "paste", "paste-undo", "half-undo"};

std::vector<std::string> StepNames(const std::string& Size)
{
    const std::string paste =
        IsBytes(Size) ? "paste of 100,000 lines mid-text" : "paste of the whole text mid-text";
    return {"Select All and a key", "its undo", "its redo", paste, "its undo", "undo of deleting the first half"};
}

void MeasureOurs(const TLanguage& Language, const std::string& Size)
{
    TProgramConfiguration program;
    const std::string text = CaseText(Language, Size);
    TOurBenchEditor window([](TQvEdit& E) { ApplyEditingSettings(E); });
    TQvEdit* editor = window.Editor;
    editor->GetLines()->LoadFromFile(Path(Language, Size));
    // The big PHP files get the highlighter the program gives their name, the languages that
    // of the program's menu (CSS and the page highlighter have no extension of their own).
    TQvCustomHighlighter* highlighter =
        IsBytes(Size)              ? program.ForFile(Path(Language, Size))
        : Language.Choice != nullptr ? program.ByMenu(Language.Choice)
                                     : static_cast<TQvCustomHighlighter*>(program.Form().QvHTMLHighlighter1);
    editor->SetHighlighter(highlighter);
    const int lines = editor->GetLines()->Count();
    std::printf("ours: %d lines, %zu bytes, the program's options, %s highlighter\n", lines, text.size(),
                highlighter->GetLanguageName().c_str());
    editor->SetCaretXY(TPoint{1, lines / 2});
    editor->Update();
    TCappedSteps steps("ours");
    const auto command = [editor](TQvEditorCommand Command) {
        return [editor, Command] {
            editor->CommandProcessor(Command, '\0', nullptr);
            editor->Update();
        };
    };
    steps.Time(Steps[0], [editor] {
        editor->CommandProcessor(ecSelectAll, '\0', nullptr);
        editor->Perform(WM_KEYDOWN, 'X', 1);
        editor->Perform(WM_CHAR, 'x', 1);
        editor->Perform(WM_KEYUP, 'X', 1);
        editor->Update();
    });
    steps.Time(Steps[1], command(ecUndo));
    std::printf("ours: %d lines after the undo\n", editor->GetLines()->Count());
    steps.Time(Steps[2], command(ecRedo));
    std::printf("ours: %d lines after the redo\n", editor->GetLines()->Count());
    editor->CommandProcessor(ecUndo, '\0', nullptr);

    editor->SetCaretXY(TPoint{1, lines / 2});
    Clipboard()->SetAsText(Pasted(text, Size));
    steps.Time(Steps[3], command(ecPaste));
    std::printf("ours: %d lines after the paste\n", editor->GetLines()->Count());
    steps.Time(Steps[4], command(ecUndo));
    std::printf("ours: %d lines after its undo\n", editor->GetLines()->Count());

    editor->SetBlockBegin(TPoint{1, 1});
    editor->SetBlockEnd(TPoint{1, lines / 2 + 1});
    editor->CommandProcessor(ecDeleteChar, '\0', nullptr);
    editor->Update();
    std::printf("ours: %d lines after deleting the first half\n", editor->GetLines()->Count());
    steps.Time(Steps[5], command(ecUndo));
    std::printf("ours: %d lines after its undo\n", editor->GetLines()->Count());
}

void MeasurePeer(const TLanguage& Language, const std::string& Size)
{
    const std::string text = CaseText(Language, Size);
    QsciScintilla editor;
    KeepFromAccessibilityUpdates(editor);
    editor.setUtf8(false);
    const QFont font("DejaVu Sans Mono", 10);
    std::unique_ptr<QsciLexer> lexer(Language.PeerLexer());
    lexer->setDefaultFont(font);
    lexer->setFont(font);
    editor.setLexer(lexer.get());
    editor.setFont(font);
    editor.resize(TOurBenchEditor::Width, TOurBenchEditor::Height);
    editor.show();
    WaitUntilShown();
    editor.SendScintilla(QsciScintillaBase::SCI_SETTEXT, text.c_str());
    editor.SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    const int lines = editor.lines();
    std::printf("peer: %d lines, its %s lexer attached before its text\n", lines, lexer->language());
    editor.setCursorPosition(lines / 2 - 1, 0);
    editor.viewport()->repaint();
    TCappedSteps steps("peer");
    const auto then = [&editor](const std::function<void()>& Action) {
        return [&editor, Action] {
            Action();
            editor.viewport()->repaint();
        };
    };
    steps.Time(Steps[0], then([&editor] {
                   editor.selectAll();
                   QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x");
                   QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, "x");
                   QApplication::sendEvent(&editor, &press);
                   QApplication::sendEvent(&editor, &release);
               }));
    steps.Time(Steps[1], then([&editor] { editor.undo(); }));
    std::printf("peer: %d lines after the undo\n", editor.lines());
    steps.Time(Steps[2], then([&editor] { editor.redo(); }));
    std::printf("peer: %d lines after the redo\n", editor.lines());
    editor.undo();

    editor.setCursorPosition(lines / 2 - 1, 0);
    const std::string pasted = Pasted(text, Size);
    QApplication::clipboard()->setText(QString::fromLatin1(pasted.data(), static_cast<qsizetype>(pasted.size())));
    steps.Time(Steps[3], then([&editor] { editor.paste(); }));
    std::printf("peer: %d lines after the paste\n", editor.lines());
    steps.Time(Steps[4], then([&editor] { editor.undo(); }));
    std::printf("peer: %d lines after its undo\n", editor.lines());

    editor.setSelection(0, 0, lines / 2, 0);
    editor.removeSelectedText();
    editor.viewport()->repaint();
    std::printf("peer: %d lines after deleting the first half\n", editor.lines());
    steps.Time(Steps[5], then([&editor] { editor.undo(); }));
    std::printf("peer: %d lines after its undo\n", editor.lines());
}

void RunCase(const TLanguage& Language, const std::string& Size)
{
    const std::string what = IsBytes(Size) ? Size + " of " + Language.Shown : Size + " lines of " + Language.Shown;
    std::printf("== %s\n", what.c_str());
    const TRecords ours = RunChild({"case", "ours", Language.Name, Size});
    TRecords peer;
    if (Language.PeerLexer)
        peer = RunChild({"case", "peer", Language.Name, Size});
    std::printf("%s: ours / peer%s\n", what.c_str(), Language.PeerLexer ? ", ratio" : " (the peer has no lexer for it)");
    const std::vector<std::string> names = StepNames(Size);
    for (std::size_t i = 0; i < std::size(Steps); ++i) {
        if (Language.PeerLexer)
            std::printf("  %s: %s / %s, %s\n", names[i].c_str(), Shown(ours, Steps[i]).c_str(),
                        Shown(peer, Steps[i]).c_str(), Ratio(ours, peer, Steps[i]).c_str());
        else
            std::printf("  %s: %s\n", names[i].c_str(), Shown(ours, Steps[i]).c_str());
    }
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    TBenchDisplay display;
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() == 4 && args[0] == "case") {
        const TLanguage* language = FindLanguage(args[2]);
        if (language == nullptr)
            return 1;
        QApplication app(argc, argv);
        Application->Initialize();
        if (args[1] == "ours") {
            MeasureOurs(*language, args[3]);
        } else {
            RunPeerWithoutAccessibilityUpdates();
            MeasurePeer(*language, args[3]);
        }
        return 0;
    }
    const std::string only = args.empty() ? "" : args[0];
    if (only.empty() || only == "mb")
        for (const char* size : {"10MB", "100MB"})
            RunCase(*FindLanguage("php"), size);
    for (const TLanguage& language : Languages())
        if (only.empty() || only == "lines" || only == language.Name)
            for (const char* size : {"20000", "80000"})
                RunCase(language, size);
    if (only.empty() || only == "lines")
        std::printf("VBScript: left out, no file of that language was found in Debian's packages\n");
    return 0;
}
