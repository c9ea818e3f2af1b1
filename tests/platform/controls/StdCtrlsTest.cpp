// Standard controls over hosted widgets: the key route in front of the widget, default
// and cancel buttons, labels, buttons, check and radio buttons, edit boxes and memos.
#include "controls/StdCtrlsTestSupport.h"

#include "platform/runtime/CodePages.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <gtest/gtest.h>

// ---- The key route and dialog keys ------------------------------------------------------

TEST(HostedKeysTest, ZeroedKeysAndCharactersNeverReachTheWidget)
{
    TShownForm ui;
    auto* edit = ui.Add<TEdit>();
    TCounter counter;
    edit->OnKeyDown = TKeyEvent(&counter, &TCounter::KeyDown);
    edit->OnKeyPress = TKeyPressEvent(&counter, &TCounter::KeyPress);
    QLineEdit* line = Native<QLineEdit>(edit);
    ASSERT_NE(line, nullptr);

    SendKey(line, Qt::Key_A, Qt::NoModifier, "a");
    counter.ZeroKey = 'B';
    SendKey(line, Qt::Key_B, Qt::NoModifier, "b");
    counter.ZeroChar = 'c';
    SendKey(line, Qt::Key_C, Qt::NoModifier, "c");
    SendKey(line, Qt::Key_D, Qt::NoModifier, "d");
    EXPECT_EQ(edit->Text(), "ad");
}

TEST(HostedKeysTest, FocusGoesToTheHostedWidget)
{
    TShownForm ui;
    auto* edit = ui.Add<TEdit>();
    auto* other = ui.Add<TEdit>(10, 40);
    ui.Form->Window()->Frame()->activateWindow();
    edit->SetFocus();
    QApplication::processEvents();
    EXPECT_TRUE(edit->Focused());
    EXPECT_EQ(QApplication::focusWidget(), Native<QLineEdit>(edit));
    other->SetFocus();
    EXPECT_FALSE(edit->Focused());
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(FindFocusedControl(), other);
    // Tab moves on through the tab order rather than reaching the widget.
    SendKey(Native<QLineEdit>(other), Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(edit->Focused());
    SendKey(Native<QLineEdit>(edit), Qt::Key_Tab, Qt::NoModifier, "\t");
    EXPECT_TRUE(other->Focused());
    EXPECT_EQ(other->Text(), "");
}

TEST(DialogKeysTest, EnterClicksTheDefaultButtonAndEscapeTheCancelButton)
{
    TShownForm ui;
    auto* edit = ui.Add<TEdit>();
    auto* go = ui.Add<TButton>(10, 50);
    auto* cancel = ui.Add<TButton>(100, 50);
    go->SetDefault(true);
    go->SetModalResult(mrOk);
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    TCounter goCount, cancelCount;
    go->OnClick = TNotifyEvent(&goCount, &TCounter::Click);
    cancel->OnClick = TNotifyEvent(&cancelCount, &TCounter::Click);

    SendKey(Native<QLineEdit>(edit), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(goCount.Clicks, 1);
    EXPECT_EQ(ui.Form->ModalResult(), mrOk);
    SendKey(Native<QLineEdit>(edit), Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(cancelCount.Clicks, 1);
    EXPECT_EQ(ui.Form->ModalResult(), mrCancel);

    // A disabled default button takes nothing; a focused button clicks itself.
    go->SetEnabled(false);
    SendKey(Native<QLineEdit>(edit), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(goCount.Clicks, 1);
    SendKey(Native<QPushButton>(cancel), Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(cancelCount.Clicks, 2);
}

TEST(DialogKeysTest, EnterInAMemoTypesALineBreakInsteadOfClickingTheDefaultButton)
{
    TShownForm ui;
    auto* memo = ui.Add<TMemo>();
    auto* go = ui.Add<TButton>(10, 150);
    go->SetDefault(true);
    TCounter counter;
    go->OnClick = TNotifyEvent(&counter, &TCounter::Click);
    memo->SetText("ab");
    Native<QPlainTextEdit>(memo)->moveCursor(QTextCursor::End);
    SendKey(Native<QPlainTextEdit>(memo), Qt::Key_Return, Qt::NoModifier, "\r");
    SendKey(Native<QPlainTextEdit>(memo), Qt::Key_C, Qt::NoModifier, "c");
    EXPECT_EQ(counter.Clicks, 0);
    EXPECT_EQ(memo->Text(), "ab\r\nc");
}

// ---- Labels and buttons -----------------------------------------------------------------

TEST(LabelTest, CaptionIsPlainTextAndAutoSizeFollowsTextAndFont)
{
    TShownForm ui;
    auto* label = ui.Add<TLabel>();
    label->SetCaption("&File <b>x</b>");
    EXPECT_EQ(Native<QLabel>(label)->text(), "&File <b>x</b>");
    EXPECT_EQ(Native<QLabel>(label)->textFormat(), Qt::PlainText);
    const int narrow = label->Width();
    label->SetCaption("&File <b>x</b> and a much longer tail");
    EXPECT_GT(label->Width(), narrow);
    const int normalHeight = label->Height();
    label->Font()->SetHeight(-30);
    EXPECT_GT(label->Height(), normalHeight);

    label->SetAutoSize(false);
    label->SetBounds(10, 10, 5, 5);
    label->SetCaption("longer than five pixels");
    EXPECT_EQ(label->Width(), 5);
}

TEST(LabelTest, ATransparentLabelShowsItsParentBehindTheText)
{
    TShownForm ui;
    ui.Form->SetColor(clRed);
    auto* label = ui.Add<TLabel>(20, 20);
    label->SetCaption(" ");
    label->SetColor(clBlue);
    const auto pixelUnder = [&] {
        ui.Form->Repaint();
        label->Repaint();
        return ui.Form->Window()->Client()->grab().toImage().pixelColor(21, 21);
    };
    EXPECT_EQ(pixelUnder(), QColor(Qt::blue));
    label->SetTransparent(true);
    EXPECT_EQ(pixelUnder(), QColor(Qt::red));
}

TEST(LabelTest, AClickOnTheLabelRunsOnClick)
{
    TShownForm ui;
    auto* label = ui.Add<TLabel>();
    label->SetCaption("link");
    TCounter counter;
    label->OnClick = TNotifyEvent(&counter, &TCounter::Click);
    QWidget* widget = label->Window()->Hosted();
    SendMouse(widget, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {2, 2});
    SendMouse(widget, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {2, 2});
    EXPECT_EQ(counter.Clicks, 1);
}

TEST(ButtonTest, ClickSetsTheFormsModalResultThenRunsOnClick)
{
    TShownForm ui;
    auto* button = ui.Add<TButton>();
    button->SetCaption("&Go");
    button->SetModalResult(mrOk);
    TCounter counter;
    button->OnClick = TNotifyEvent(&counter, &TCounter::Click);
    Native<QPushButton>(button)->click();
    EXPECT_EQ(counter.Clicks, 1);
    EXPECT_EQ(ui.Form->ModalResult(), mrOk);
}

// Captions are UTF-8 whatever the ANSI code page, while an edit box on the same form
// keeps the user's ANSI bytes.
TEST(CaptionTest, CaptionsAreUtf8UnderAWesternCodePage)
{
    const Cardinal saved = GetACP();
    SetAnsiCodePage(1252);
    TShownForm ui;
    auto* label = ui.Add<TLabel>();
    auto* button = ui.Add<TButton>();
    auto* check = ui.Add<TCheckBox>();
    auto* radio = ui.Add<TRadioButton>();
    auto* group = ui.Add<TGroupBox>();
    auto* edit = ui.Add<TEdit>();
    const std::string russian = "Найти и заменить";
    label->SetCaption(russian);
    button->SetCaption(russian);
    check->SetCaption(russian);
    radio->SetCaption(russian);
    group->SetCaption(russian);
    edit->SetText("caf\xE9");

    const QString shown = QString::fromUtf8(russian);
    EXPECT_EQ(Native<QLabel>(label)->text(), shown);
    EXPECT_EQ(Native<QPushButton>(button)->text(), shown);
    EXPECT_EQ(Native<QCheckBox>(check)->text(), shown);
    EXPECT_EQ(Native<QRadioButton>(radio)->text(), shown);
    EXPECT_EQ(Native<QGroupBox>(group)->title(), shown);
    for (const std::string& caption : {label->Caption(), button->Caption(), check->Caption(),
                                       radio->Caption(), group->Caption()})
        EXPECT_EQ(caption, russian);
    EXPECT_EQ(Native<QLineEdit>(edit)->text(), "café");
    EXPECT_EQ(edit->Text(), "caf\xE9");

    // A caption that is not UTF-8 (a file name's bytes) reads back exactly as set.
    label->SetCaption("/tmp/caf\xE9.php");
    EXPECT_EQ(label->Caption(), "/tmp/caf\xE9.php");
    SetAnsiCodePage(saved);
}

TEST(CheckBoxTest, OnClickFollowsEveryChangeOfCheckedAndOnlyChanges)
{
    TShownForm ui;
    auto* box = ui.Add<TCheckBox>();
    TCounter counter;
    box->OnClick = TNotifyEvent(&counter, &TCounter::Click);
    box->SetChecked(true);
    box->SetChecked(true);
    EXPECT_EQ(counter.Clicks, 1);
    Native<QCheckBox>(box)->click();  // the user
    EXPECT_FALSE(box->Checked());
    EXPECT_EQ(counter.Clicks, 2);
}

TEST(RadioButtonTest, CheckingOneUnchecksItsSiblingsOnly)
{
    TShownForm ui;
    auto* back = ui.Add<TRadioButton>(10, 10);
    auto* forward = ui.Add<TRadioButton>(10, 30);
    auto* group = ui.Add<TGroupBox>(150, 10);
    auto* elsewhere = new TRadioButton(ui.Form);
    elsewhere->SetParent(group);
    elsewhere->SetChecked(true);
    TCounter counter;
    forward->OnClick = TNotifyEvent(&counter, &TCounter::Click);

    back->SetChecked(true);
    Native<QRadioButton>(forward)->click();
    EXPECT_TRUE(forward->Checked());
    EXPECT_FALSE(back->Checked());
    EXPECT_TRUE(elsewhere->Checked());
    EXPECT_EQ(counter.Clicks, 1);
    // A click on the checked button leaves it checked and clicks nothing.
    Native<QRadioButton>(forward)->click();
    EXPECT_TRUE(forward->Checked());
    EXPECT_EQ(counter.Clicks, 1);
}

// ---- Edit boxes and memos ----------------------------------------------------------------

TEST(EditTest, TextCrossesAsAnsiBytesAndSelectionWorksByCharacter)
{
    SetAnsiCodePage(1251);
    TShownForm ui;
    auto* edit = ui.Add<TEdit>();
    TCounter counter;
    edit->OnChange = TNotifyEvent(&counter, &TCounter::Change);
    const std::string cyrillic = "\xCF\xF0\xE8\xE2\xE5\xF2";  // "Привет" in 1251
    edit->SetText(cyrillic + " world");
    EXPECT_EQ(Native<QLineEdit>(edit)->text(), QString::fromUtf8("Привет world"));
    EXPECT_EQ(edit->Text(), cyrillic + " world");
    EXPECT_EQ(counter.Changes, 1);

    edit->SetSelStart(2);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelStart(), 2);
    EXPECT_EQ(edit->SelLength(), 3);
    EXPECT_EQ(edit->SelText(), "\xE8\xE2\xE5");
    edit->SetSelText("-");
    EXPECT_EQ(edit->Text(), "\xCF\xF0-\xF2 world");
    SetAnsiCodePage(1252);
}

TEST(EditTest, MaxLengthLimitsTypingAndReadOnlyRefusesIt)
{
    TShownForm ui;
    auto* edit = ui.Add<TEdit>();
    edit->SetMaxLength(2);
    for (const char* c : {"x", "y", "z"})
        SendKey(Native<QLineEdit>(edit), Qt::Key_X, Qt::NoModifier, c);
    EXPECT_EQ(edit->Text(), "xy");
    edit->SetMaxLength(0);
    edit->SetReadOnly(true);
    SendKey(Native<QLineEdit>(edit), Qt::Key_Z, Qt::NoModifier, "z");
    EXPECT_EQ(edit->Text(), "xy");
}

TEST(MemoTest, TextJoinsLinesWithCrLfAndReadsAnyLineEnd)
{
    TShownForm ui;
    auto* memo = ui.Add<TMemo>();
    memo->SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(memo->Text(), "one\r\ntwo\r\nthree\r\nfour");
    EXPECT_EQ(memo->Lines()->Count(), 4);
    memo->SetText("");
    EXPECT_EQ(memo->Lines()->Count(), 0);
    EXPECT_EQ(memo->Text(), "");
    // A final line break ends the last line rather than starting an empty one.
    memo->SetText("a\r\n");
    EXPECT_EQ(memo->Lines()->Count(), 1);
}

TEST(MemoTest, LinesWriteThroughAndCheckTheirIndexes)
{
    TShownForm ui;
    auto* memo = ui.Add<TMemo>();
    TStrings* lines = memo->Lines();
    lines->Add("b");
    lines->Insert(0, "a");
    lines->Add("c");
    lines->SetStrings(2, "C");
    lines->Delete(1);
    EXPECT_EQ(memo->Text(), "a\r\nC");
    EXPECT_EQ(lines->Strings(1), "C");
    EXPECT_THROW(lines->Strings(2), EStringListError);
    EXPECT_THROW(lines->Delete(-1), EStringListError);
    EXPECT_THROW(lines->Insert(5, "x"), EStringListError);
    lines->Clear();
    EXPECT_EQ(lines->Count(), 0);
}

TEST(MemoTest, WordWrapAndScrollBarsReachTheWidget)
{
    TShownForm ui;
    auto* memo = ui.Add<TMemo>();
    QPlainTextEdit* edit = Native<QPlainTextEdit>(memo);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    memo->SetScrollBars(ssVertical);
    EXPECT_EQ(edit->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    memo->SetWordWrap(false);
    EXPECT_EQ(edit->lineWrapMode(), QPlainTextEdit::NoWrap);
}
