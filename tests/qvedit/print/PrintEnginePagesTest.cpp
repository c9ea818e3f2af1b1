// The print engine's pages and rows: texts that fit, texts one line too long, long lines
// wrapped at break characters or cut, tabs, and every row inside the printable area.
#include "PrintEngineFixture.h"

#include "qvedit/highlighters/QvHighlighterPHP.h"

#include <algorithm>
#include <random>

namespace {

TEST_F(PrintEngineTest, ATextThatFillsAPageTakesOnePageAndOneLineMoreTakesTwo)
{
    const Integer perPage = RowsPerPage();
    ASSERT_GT(perPage, 10);
    std::vector<std::string> lines;
    for (Integer i = 0; i < perPage; ++i)
        lines.push_back("line " + std::to_string(i));
    SetText(lines);
    EXPECT_EQ(print_.GetPageCount(), 1);
    EXPECT_EQ(PageRows(1).size(), static_cast<std::size_t>(perPage));

    lines.push_back("the last line");
    SetText(lines);
    EXPECT_EQ(print_.GetPageCount(), 2);
    EXPECT_EQ(PageRows(1).size(), static_cast<std::size_t>(perPage));
    const std::vector<TPrintedRow> second = PageRows(2);
    ASSERT_EQ(second.size(), 1u);
    EXPECT_EQ(second[0].Text(), "the last line");
    EXPECT_EQ(second[0].Top, print_.GetMargins()->PTop());
}

TEST_F(PrintEngineTest, AWrappedLineThatWouldPassTheBottomMarginMovesWholeToTheNextPage)
{
    const Integer perPage = RowsPerPage();
    const Integer columns = Columns();
    std::vector<std::string> lines(static_cast<std::size_t>(perPage - 1), "short");
    const std::string longLine = std::string(static_cast<std::size_t>(columns) - 1, 'a') + " " +
                                 std::string(10, 'b');  // two rows
    lines.push_back(longLine);
    SetText(lines);

    ASSERT_EQ(print_.GetPageCount(), 2);
    const std::vector<TPrintedRow> first = PageRows(1);
    EXPECT_EQ(first.size(), static_cast<std::size_t>(perPage - 1));
    for (const TPrintedRow& row : first)
        EXPECT_LE(row.Pieces.back().Cells.Bottom, print_.GetMargins()->PBottom());
    const std::vector<TPrintedRow> second = PageRows(2);
    ASSERT_EQ(second.size(), 2u);
    EXPECT_EQ(second[0].Text() + second[1].Text(), longLine);

    // One row less above it and the line fits on the first page.
    lines.erase(lines.begin());
    SetText(lines);
    EXPECT_EQ(print_.GetPageCount(), 1);
}

TEST_F(PrintEngineTest, LongLinesWrapAfterBreakCharactersOrAreCut)
{
    const Integer columns = Columns();
    const auto n = static_cast<std::size_t>(columns);
    // Blanks: each row ends with its last blank.
    const std::string words = std::string(n - 5, 'a') + " bbb " + std::string(n - 3, 'c') + " ddd";
    // No blank, but full stops: rows end after them.
    const std::string stops = std::string(n - 2, 'e') + "." + std::string(10, 'f') + ";g";
    // Nothing to break at: cut every row's width.
    const std::string solid = std::string(2 * n + 7, 'h');
    SetText({words, stops, solid});

    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "plain");
        TQvPHPHighlighter php(nullptr);
        print_.SetHighlighter(highlighted ? &php : nullptr);
        std::vector<std::string> texts;
        for (const TPrintedRow& row : PageRows(1)) {
            texts.push_back(row.Text());
            EXPECT_EQ(row.Left(), print_.GetMargins()->PLeft());
            EXPECT_LE(row.Text().size(), n);
        }
        std::vector<std::string> expected;
        if (highlighted) {
            expected = {std::string(n - 5, 'a') + " bbb ", std::string(n - 3, 'c') + " ", "ddd",
                        std::string(n - 2, 'e') + ".", std::string(10, 'f') + ";g"};
        } else {
            // Plain text is cut at the row's width.
            expected = {words.substr(0, n), words.substr(n, n), words.substr(2 * n),
                        stops.substr(0, n), stops.substr(n)};
        }
        for (std::size_t at = 0; at < solid.size(); at += n)
            expected.push_back(solid.substr(at, n));
        EXPECT_EQ(texts, expected);
        print_.SetHighlighter(nullptr);
    }
}

TEST_F(PrintEngineTest, WithoutWrappingALongLineKeepsOneRowCutAtThePageWidth)
{
    const auto n = static_cast<std::size_t>(Columns());
    const std::string line = std::string(n, 'a') + " bb cc";
    SetText({line, "next"});
    print_.SetWrap(false);
    for (bool highlighted : {false, true}) {
        SCOPED_TRACE(highlighted ? "highlighted" : "plain");
        TQvPHPHighlighter php(nullptr);
        print_.SetHighlighter(highlighted ? &php : nullptr);
        const std::vector<TPrintedRow> rows = PageRows(1);
        ASSERT_EQ(rows.size(), 2u);
        EXPECT_EQ(rows[0].Text(), line.substr(0, n));
        EXPECT_EQ(rows[1].Text(), "next");
        print_.SetHighlighter(nullptr);
    }
}

TEST_F(PrintEngineTest, TabsArePrintedAsBlanksToTheTabStops)
{
    print_.SetTabWidth(4);
    SetText({"a\tbc\td", "\tx"});
    const std::vector<TPrintedRow> rows = PageRows(1);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Text(), "a   bc  d");
    EXPECT_EQ(rows[1].Text(), "    x");
}

TEST_F(PrintEngineTest, EveryCharacterTakesOneCellWhateverItsStyle)
{
    TQvPHPHighlighter php(nullptr);
    print_.SetHighlighter(&php);
    SetText({"if ($a == 1) { echo 'x'; } // done"});
    const std::vector<TPrintedRow> rows = PageRows(1);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_GT(rows[0].Pieces.size(), 5u);
    const Integer cell = rows[0].Pieces[0].Cells.Width() /
                         static_cast<Integer>(rows[0].Pieces[0].Text.size());
    Integer column = 0;
    for (const TTextOutRecord& piece : rows[0].Pieces) {
        EXPECT_EQ(piece.Cells.Left, print_.GetMargins()->PLeft() + column * cell) << piece.Text;
        column += static_cast<Integer>(piece.Text.size());
    }
}

// Random texts and margins: no printed row leaves the area between the margins, and every
// line is printed once, in order.
TEST_F(PrintEngineTest, EveryRowLiesInsideThePrintableAreaBetweenTheMargins)
{
    std::mt19937 random(20261207);
    const std::string alphabet = "abcdefgh  ,-.;)\t";
    TQvPHPHighlighter php(nullptr);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TQvEditPrintMargins* m = print_.GetMargins();
        m->SetLeft(std::uniform_real_distribution<double>(5, 60)(random));
        m->SetRight(std::uniform_real_distribution<double>(5, 60)(random));
        m->SetTop(std::uniform_real_distribution<double>(5, 80)(random));
        m->SetBottom(std::uniform_real_distribution<double>(5, 80)(random));
        m->SetMirrorMargins(round % 3 == 0);
        print_.SetLineNumbers(round % 2 == 0);
        print_.SetHighlighter(round % 4 < 2 ? &php : nullptr);
        std::vector<std::string> lines;
        const int count = std::uniform_int_distribution<int>(1, 150)(random);
        for (int i = 0; i < count; ++i) {
            std::string line;
            const int length = std::uniform_int_distribution<int>(0, 400)(random);
            for (int k = 0; k < length; ++k)
                line += alphabet[random() % alphabet.size()];
            lines.push_back(line);
        }
        SetText(lines);
        std::string printed;
        std::string outside;
        const Integer pages = print_.GetPageCount();
        for (Integer page = 1; page <= pages; ++page) {
            for (const TPrintedRow& row : PageRows(page)) {
                if (!row.Number.empty())
                    printed += "\n";
                printed += row.Text();
                for (const TTextOutRecord& piece : row.Pieces) {
                    const bool inside =
                        piece.Cells.Left >= m->PLeft() && piece.Cells.Right <= m->PRight() &&
                        piece.Cells.Top >= m->PTop() && piece.Cells.Bottom <= m->PBottom();
                    if (!inside && outside.empty())
                        outside = "page " + std::to_string(page) + ": '" + piece.Text + "'";
                }
            }
        }
        EXPECT_EQ(outside, "") << "a row outside the margins";
        if (print_.GetLineNumbers()) {
            std::string expected;
            for (std::string line : lines) {
                std::replace(line.begin(), line.end(), '\t', ' ');
                expected += "\n" + line;
            }
            // Tabs were expanded, so compare without the padding blanks.
            auto squeeze = [](std::string s) {
                s.erase(std::remove(s.begin(), s.end(), ' '), s.end());
                return s;
            };
            EXPECT_EQ(squeeze(printed), squeeze(expected));
        }
    }
}

}  // namespace
