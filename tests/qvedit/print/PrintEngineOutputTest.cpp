// What the print engine draws: line numbers, header and footer, styles and colours; and
// the print job on the PDF printer: page ranges, copies, aborts, the text read back.
#include "PrintEngineFixture.h"

#include "platform/runtime/SysUtils.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

namespace {

std::vector<std::string> Numbered(Integer count)
{
    std::vector<std::string> lines;
    for (Integer i = 1; i <= count; ++i)
        lines.push_back("line " + std::to_string(i));
    return lines;
}

TEST_F(PrintEngineTest, LineNumbersAreRightAlignedAtTheTextAndFitTheirRoom)
{
    SetText({"x"});
    PageRows(1);
    const Integer marginLeft = print_.GetMargins()->PLeft();  // without numbers
    print_.SetLineNumbers(true);
    for (Integer count : {9, 10, 99, 100}) {
        SCOPED_TRACE(count);
        SetText(Numbered(count));
        const Integer pages = print_.GetPageCount();
        Integer number = 0;
        for (Integer page = 1; page <= pages; ++page) {
            for (const TPrintedRow& row : PageRows(page)) {
                ++number;
                EXPECT_EQ(row.Number, std::to_string(number) + ": ");
                EXPECT_EQ(row.Left(), print_.GetMargins()->PLeft());
                EXPECT_EQ(row.Text(), "line " + std::to_string(number));
            }
        }
        EXPECT_EQ(number, count);
        // The widest number ends at the text and starts no further left than the margin.
        log_.clear();
        print_.PrintToCanvas(&canvas_, pages);
        const TTextOutRecord* last = nullptr;
        for (const TTextOutRecord& r : log_) {
            if (r.Text == std::to_string(count) + ": ")
                last = &r;
        }
        ASSERT_NE(last, nullptr);
        EXPECT_EQ(last->Cells.Right, print_.GetMargins()->PLeft());
        EXPECT_GE(last->Cells.Left, marginLeft);
    }
}

TEST_F(PrintEngineTest, LineNumbersTakeTheOffsetAndCanSitInTheMargin)
{
    print_.SetLineNumbers(true);
    print_.SetLineOffset(10);
    SetText({"first", "second"});
    std::vector<TPrintedRow> rows = PageRows(1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Number, "11: ");
    EXPECT_EQ(rows[1].Number, "12: ");
    const Integer roomy = rows[0].Left();

    print_.SetLineNumbersInMargin(true);
    rows = PageRows(1);
    EXPECT_LT(rows[0].Left(), roomy);
    EXPECT_EQ(rows[0].Number, "11: ");
}

TEST_F(PrintEngineTest, HeaderAndFooterOnEveryPageInArabicAndRomanNumbers)
{
    const Integer perPage = RowsPerPage();
    SetText(Numbered(2 * perPage + 1));
    print_.SetTitle("notes.php");
    print_.GetHeader()->Add("Page $PAGENUM$ of $PAGECOUNT$", nullptr, taRightJustify, 1);
    print_.GetFooter()->Add("$TITLE$", nullptr, taLeftJustify, 1);
    ASSERT_EQ(print_.GetPageCount(), 3);
    for (bool roman : {false, true}) {
        print_.GetHeader()->SetRomanNumbers(roman);
        for (Integer page = 1; page <= 3; ++page) {
            const std::string header =
                roman ? "Page " + IntToRoman(page) + " of III" : "Page " + IntToStr(page) + " of 3";
            std::vector<std::string> above;
            std::vector<std::string> below;
            for (const TTextOutRecord& r : PageOutputs(page)) {
                if (r.Cells.Bottom <= print_.GetMargins()->PTop())
                    above.push_back(r.Text);
                if (r.Cells.Top >= print_.GetMargins()->PBottom())
                    below.push_back(r.Text);
            }
            EXPECT_EQ(above, std::vector<std::string>{header});
            EXPECT_EQ(below, std::vector<std::string>{"notes.php"});
        }
    }
    // The page offset counts on in the header.
    print_.SetPageOffset(4);
    print_.GetHeader()->SetRomanNumbers(false);
    bool found = false;
    for (const TTextOutRecord& r : PageOutputs(1))
        found = found || r.Text == "Page 5 of 3";
    EXPECT_TRUE(found);
}

TEST_F(PrintEngineTest, StylesAlwaysAndColoursOnlyWhenAsked)
{
    TQvPHPHighlighter php(nullptr);
    php.KeyAttri()->SetForeground(clNavy);
    php.StringAttri()->SetForeground(clMaroon);
    php.StringAttri()->SetBackground(clYellow);
    php.CommentAttri()->SetForeground(clNone);
    php.CommentAttri()->SetStyle(fsItalic);
    print_.SetHighlighter(&php);
    print_.SetColor(clSilver);
    font_.SetColor(clGreen);
    print_.SetFont(&font_);
    SetText({"echo 'hi'; // note"});
    auto pieceOf = [](const std::vector<TPrintedRow>& rows, const std::string& text) {
        for (const TTextOutRecord& r : rows.at(0).Pieces) {
            if (r.Text == text)
                return r;
        }
        ADD_FAILURE() << "no piece " << text;
        return TTextOutRecord{};
    };
    const auto ref = [](TColor c) { return static_cast<COLORREF>(ColorToRGB(c)); };

    std::vector<TPrintedRow> rows = PageRows(1);
    TTextOutRecord echo = pieceOf(rows, "echo");
    TTextOutRecord text = pieceOf(rows, "'hi'");
    TTextOutRecord note = pieceOf(rows, "// note");
    EXPECT_GE(echo.Font.lfWeight, 700);
    EXPECT_EQ(note.Font.lfItalic, 1);
    for (const TTextOutRecord& r : {echo, text, note}) {
        EXPECT_EQ(r.TextColor, ref(clGreen)) << r.Text;
        EXPECT_EQ(r.BkColor, ref(clSilver)) << r.Text;
    }

    print_.SetColors(true);
    rows = PageRows(1);
    echo = pieceOf(rows, "echo");
    text = pieceOf(rows, "'hi'");
    note = pieceOf(rows, "// note");
    EXPECT_EQ(echo.TextColor, ref(clNavy));
    EXPECT_EQ(echo.BkColor, ref(clSilver));
    EXPECT_EQ(text.TextColor, ref(clMaroon));
    EXPECT_EQ(text.BkColor, ref(clYellow));
    EXPECT_TRUE(text.Opaque);
    EXPECT_EQ(note.TextColor, ref(clGreen));  // no colour of its own: the font's
    EXPECT_GE(echo.Font.lfWeight, 700);
}

TEST_F(PrintEngineTest, TextWithoutAttributesKeepsThePrintFontsOwnStyle)
{
    // The cell is measured with every style at once; the text must not keep them.
    SetText({"plain words"});
    for (TFontStyles style : {TFontStyles{}, TFontStyles{fsItalic}}) {
        font_.SetStyle(style);
        print_.SetFont(&font_);
        const std::vector<TPrintedRow> rows = PageRows(1);
        ASSERT_EQ(rows.size(), 1u);
        const LOGFONTA& lf = rows[0].Pieces.at(0).Font;
        EXPECT_LT(lf.lfWeight, 700);
        EXPECT_EQ(lf.lfItalic != 0, style.Contains(fsItalic));
        EXPECT_EQ(lf.lfUnderline, 0);
        EXPECT_EQ(lf.lfStrikeOut, 0);
    }
}

TEST_F(PrintEngineTest, ThePdfHoldsPageCountPagesAndEveryLineInOrder)
{
    TQvPHPHighlighter php(nullptr);
    print_.SetHighlighter(&php);
    print_.SetColors(true);
    print_.SetLineNumbers(true);
    std::vector<std::string> lines;
    for (int i = 0; i < 150; ++i)
        lines.push_back("$value" + std::to_string(i) + " = compute(" + std::to_string(i * 7) + ");");
    SetText(lines);
    print_.GetFooter()->Add("Page $PAGENUM$ of $PAGECOUNT$", nullptr, taCenter, 1);
    const Integer pages = print_.GetPageCount();
    ASSERT_GE(pages, 3);
    print_.Print();
    EXPECT_EQ(PdfPages(), pages);
    const std::string text = PdfText();
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t found = text.find(line, at);
        ASSERT_NE(found, std::string::npos) << line;
        at = found + line.size();
    }
    for (Integer page = 1; page <= pages; ++page) {
        const std::string footer = "Page " + IntToStr(page) + " of " + IntToStr(pages);
        EXPECT_NE(text.find(footer), std::string::npos) << footer;
    }
}

TEST_F(PrintEngineTest, WithoutAPrinterPrintingRaisesAndLeavesNoJob)
{
    Printer()->SetPdfOutput("");
    if (!Printer()->GetPrinters().empty())
        GTEST_SKIP() << "this machine has a printer";
    SetText({"text"});
    Printer()->SetCopies(3);
    EXPECT_THROW(print_.Print(), EPrinter);
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(Printer()->GetCopies(), 3);
    Printer()->SetCopies(1);
}

TEST_F(PrintEngineTest, AFreedHighlighterIsForgotten)
{
    auto* php = new TQvPHPHighlighter(nullptr);
    print_.SetHighlighter(php);
    SetText({"echo 1;"});
    delete php;
    EXPECT_EQ(print_.GetHighlighter(), nullptr);
    const std::vector<TPrintedRow> rows = PageRows(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Text(), "echo 1;");
}

TEST_F(PrintEngineTest, PrintRangePrintsTheChosenPagesAndClampsTheLast)
{
    const Integer perPage = RowsPerPage();
    SetText(Numbered(2 * perPage + 1));
    ASSERT_EQ(print_.GetPageCount(), 3);
    std::vector<Integer> started;
    struct TRecorder : TObject {
        std::vector<Integer>* Pages = nullptr;
        std::vector<TQvPrintStatus>* Statuses = nullptr;
        void Status(TObject*, TQvPrintStatus status, Integer page, bool&)
        {
            Statuses->push_back(status);
            if (status == psNewPage)
                Pages->push_back(page);
        }
    };
    std::vector<TQvPrintStatus> statuses;
    TRecorder recorder;
    recorder.Pages = &started;
    recorder.Statuses = &statuses;
    print_.OnPrintStatus = TPrintStatusEvent(&recorder, &TRecorder::Status);

    struct TCase {
        Integer First, Last;
        std::vector<Integer> Pages;
    };
    for (const TCase& c : {TCase{1, 1, {1}}, TCase{2, -1, {2, 3}}, TCase{3, 3, {3}},
                           TCase{2, 99, {2, 3}}, TCase{1, -1, {1, 2, 3}}}) {
        SCOPED_TRACE(std::to_string(c.First) + ".." + std::to_string(c.Last));
        started.clear();
        statuses.clear();
        print_.PrintRange(c.First, c.Last);
        EXPECT_EQ(started, c.Pages);
        EXPECT_EQ(PdfPages(), static_cast<Integer>(c.Pages.size()));
        EXPECT_EQ(statuses.front(), psBegin);
        EXPECT_EQ(statuses.back(), psEnd);
        const std::string text = PdfText();
        EXPECT_EQ(text.find("line " + std::to_string(perPage) + "\n") != std::string::npos,
                  c.Pages.front() == 1);
    }
}

TEST_F(PrintEngineTest, CopiesAreMadeOnceAndThePrintersCountIsKept)
{
    const Integer perPage = RowsPerPage();
    SetText(Numbered(2 * perPage + 1));
    struct TCopies : TObject {
        Integer DuringJob = 0;
        void Status(TObject*, TQvPrintStatus status, Integer, bool&)
        {
            if (status == psBegin)
                DuringJob = Printer()->GetCopies();
        }
    };
    TCopies copies;
    print_.OnPrintStatus = TPrintStatusEvent(&copies, &TCopies::Status);
    Printer()->SetCopies(2);  // as a print dialog leaves it
    print_.SetCopies(2);
    print_.Print();
    EXPECT_EQ(PdfPages(), 6);
    EXPECT_EQ(copies.DuringJob, 1);  // else a printer would print each copy twice
    EXPECT_EQ(Printer()->GetCopies(), 2);
    Printer()->SetCopies(1);
}

TEST_F(PrintEngineTest, AnAbortStopsThePagesSkipsTheEndAndKeepsTheOldFile)
{
    SetText({"old"});
    print_.Print();
    const std::string before = ReadFileBytes(pdf_);

    const Integer perPage = RowsPerPage();
    SetText(Numbered(2 * perPage + 1));
    struct TAborter : TObject {
        std::vector<TQvPrintStatus> Statuses;
        void Status(TObject*, TQvPrintStatus status, Integer page, bool& abort)
        {
            Statuses.push_back(status);
            abort = status == psNewPage && page == 2;
        }
    };
    TAborter aborter;
    print_.OnPrintStatus = TPrintStatusEvent(&aborter, &TAborter::Status);
    print_.Print();
    EXPECT_EQ(aborter.Statuses, (std::vector<TQvPrintStatus>{psBegin, psNewPage, psNewPage}));
    EXPECT_FALSE(Printer()->Printing());
    EXPECT_EQ(ReadFileBytes(pdf_), before);
}

TEST_F(PrintEngineTest, SettingsStreamInTheirOrderAndAShortStreamChangesNothing)
{
    print_.SetTitle("a.php");
    print_.SetDocTitle("job");
    print_.SetWrap(false);
    print_.SetColors(true);
    print_.SetLineOffset(-3);
    print_.SetPageOffset(7);
    TStringStream stream;
    print_.SaveToStream(&stream);
    const std::string bytes = stream.DataString();
    EXPECT_EQ(bytes, std::string("\5\0\0\0a.php\3\0\0\0job\0\1\1\0\xFD\xFF\xFF\xFF\7\0\0\0", 28));

    TQvEditPrint copy(nullptr);
    TStringStream in(bytes);
    copy.LoadFromStream(&in);
    EXPECT_EQ(copy.GetTitle(), "a.php");
    EXPECT_EQ(copy.GetDocTitle(), "job");
    EXPECT_FALSE(copy.GetWrap());
    EXPECT_TRUE(copy.GetHighlight());
    EXPECT_TRUE(copy.GetColors());
    EXPECT_FALSE(copy.GetLineNumbers());
    EXPECT_EQ(copy.GetLineOffset(), -3);
    EXPECT_EQ(copy.GetPageOffset(), 7);

    TQvEditPrint untouched(nullptr);
    TStringStream shortStream(bytes.substr(0, 20));
    EXPECT_THROW(untouched.LoadFromStream(&shortStream), EReadError);
    EXPECT_EQ(untouched.GetTitle(), "");
    EXPECT_TRUE(untouched.GetWrap());
}

}  // namespace
