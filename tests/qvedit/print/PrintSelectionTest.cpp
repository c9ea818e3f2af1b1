// The print engine with an editor attached: its text and tab width, and printing only its
// selection in each selection mode.
#include "PrintEngineFixture.h"

#include "qvedit/editor/QvEdit.h"
#include "qvedit/highlighters/QvHighlighterPHP.h"

namespace {

class PrintSelectionTest : public PrintEngineTest {
protected:
    PrintSelectionTest()
    {
        editor_.SetTabWidth(4);
        editor_.GetLines()->SetText("zero\no\ttwo\nthree four\nfive");
        print_.SetLineNumbers(true);
    }

    void Select(TQvSelectionMode mode, TPoint from, TPoint to)
    {
        editor_.SetSelectionMode(mode);
        editor_.SetBlockBegin(from);
        editor_.SetBlockEnd(to);
        print_.SetQvEdit(&editor_);
    }

    // Each printed row as "number: text".
    std::vector<std::string> Printed()
    {
        std::vector<std::string> rows;
        for (const TPrintedRow& row : PageRows(1))
            rows.push_back(row.Number + row.Text());
        return rows;
    }

    TQvEdit editor_{nullptr};
};

using Rows = std::vector<std::string>;

TEST_F(PrintSelectionTest, AttachingTakesTheEditorsTextWithItsTabWidth)
{
    Select(smNormal, TPoint{2, 2}, TPoint{3, 3});
    EXPECT_EQ(print_.GetTabWidth(), 4);
    EXPECT_EQ(Printed(), (Rows{"1: zero", "2: o   two", "3: three four", "4: five"}));
}

// The editor's columns count characters; the printed part starts and ends at the columns
// those characters land on once the tabs are expanded.
TEST_F(PrintSelectionTest, OnlyTheSelectedPartOfEachSelectedLineIsPrintedInEachMode)
{
    print_.SetSelectedOnly(true);
    Select(smNormal, TPoint{3, 2}, TPoint{3, 3});
    EXPECT_EQ(Printed(), (Rows{"2: two", "3: th"}));
    Select(smNormal, TPoint{3, 2}, TPoint{5, 2});
    EXPECT_EQ(Printed(), Rows{"2: tw"});
    Select(smColumn, TPoint{5, 2}, TPoint{2, 3});
    EXPECT_EQ(Printed(), (Rows{"2:    tw", "3: hre"}));
    Select(smLine, TPoint{3, 2}, TPoint{1, 3});
    EXPECT_EQ(Printed(), (Rows{"2: o   two", "3: three four"}));
    EXPECT_EQ(print_.GetPageCount(), 1);

    // Highlighted, the part keeps the tokens it has in its line.
    TQvPHPHighlighter php(nullptr);
    editor_.SetHighlighter(&php);
    editor_.GetLines()->SetText("<?php $a = 'abc def'; ?>");
    Select(smNormal, TPoint{17, 1}, TPoint{21, 1});
    const std::vector<TPrintedRow> rows = PageRows(1);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].Text(), "def'");
    EXPECT_EQ(rows[0].Pieces.size(), 1u) << "one string token";
    EXPECT_EQ(rows[0].Left(), print_.GetMargins()->PLeft());
    editor_.SetHighlighter(nullptr);
}

TEST_F(PrintSelectionTest, SelectedOnlyWithoutASelectionPrintsNothing)
{
    std::vector<TQvPrintStatus> statuses;
    struct TRecorder {
        std::vector<TQvPrintStatus>* Seen;
        void Status(TObject*, TQvPrintStatus Status, Integer, bool&) { Seen->push_back(Status); }
    } recorder{&statuses};
    print_.OnPrintStatus = TPrintStatusEvent(&recorder, &TRecorder::Status);
    print_.SetQvEdit(&editor_);
    print_.SetSelectedOnly(true);
    print_.Print();
    EXPECT_TRUE(statuses.empty());

    print_.SetSelectedOnly(false);
    print_.Print();
    EXPECT_EQ(statuses, (std::vector<TQvPrintStatus>{psBegin, psNewPage, psEnd}));
    EXPECT_NE(PdfText().find("three four"), std::string::npos);
}

// Lines set after the editor was attached may be shorter than the selection was.
TEST_F(PrintSelectionTest, ASelectionBeyondLinesSetLaterPrintsWhatIsLeft)
{
    print_.SetSelectedOnly(true);
    Select(smNormal, TPoint{2, 2}, TPoint{3, 4});
    SetText({"a", "bc"});
    EXPECT_EQ(Printed(), Rows{"2: c"});
}

}  // namespace
