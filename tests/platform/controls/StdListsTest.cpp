// List boxes, combo boxes and scroll bars.
#include "controls/StdCtrlsTestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>

#include <gtest/gtest.h>

// ---- List and combo boxes ------------------------------------------------------------------

TEST(ListBoxTest, ItemIndexIsMinusOneWithoutSelectionAndCodeNeverClicks)
{
    TShownForm ui;
    auto* list = ui.Add<TListBox>();
    TCounter counter;
    list->OnClick = TNotifyEvent(&counter, &TCounter::Click);
    list->OnDblClick = TNotifyEvent(&counter, &TCounter::DblClick);
    EXPECT_EQ(list->ItemIndex(), -1);
    for (const char* row : {"a", "b", "c"})
        list->Items()->Add(row);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(1);
    EXPECT_EQ(list->ItemIndex(), 1);
    list->SetItemIndex(7);
    EXPECT_EQ(list->ItemIndex(), -1);
    list->SetItemIndex(2);
    list->Items()->Clear();
    EXPECT_EQ(list->ItemIndex(), -1);
    EXPECT_EQ(counter.Clicks, 0);

    for (const char* row : {"a", "b"})
        list->Items()->Add(row);
    QListWidget* widget = Native<QListWidget>(list);
    widget->setCurrentRow(1);  // the user
    EXPECT_EQ(counter.Clicks, 1);
    emit widget->itemDoubleClicked(widget->item(1));
    EXPECT_EQ(counter.DblClicks, 1);
}

TEST(ListBoxTest, SortedListsInsertInCaseInsensitiveOrder)
{
    TShownForm ui;
    auto* list = ui.Add<TListBox>();
    list->Items()->Add("pear");
    list->Items()->Add("Apple");
    list->SetSorted(true);
    EXPECT_EQ(list->Items()->Strings(0), "Apple");
    EXPECT_EQ(list->Items()->Add("banana"), 1);
    EXPECT_EQ(list->Items()->GetCommaText(), "Apple,banana,pear");
}

TEST(ComboBoxTest, OnSelectFiresOnlyForTheUsersChoice)
{
    TShownForm ui;
    auto* combo = ui.Add<TComboBox>();
    combo->SetStyle(csDropDownList);
    TCounter counter;
    combo->OnSelect = TNotifyEvent(&counter, &TCounter::Select);
    combo->OnChange = TNotifyEvent(&counter, &TCounter::Change);
    combo->Items()->Add("HTML");
    combo->Items()->Add("PHP");
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->SetItemIndex(1);
    EXPECT_EQ(combo->Text(), "PHP");
    combo->SetText("HTML");
    EXPECT_EQ(combo->ItemIndex(), 0);
    combo->SetText("none");
    EXPECT_EQ(combo->ItemIndex(), -1);
    EXPECT_EQ(counter.Selects, 0);

    QComboBox* widget = Native<QComboBox>(combo);
    widget->setCurrentIndex(1);
    emit widget->activated(1);  // the user picked "PHP"
    EXPECT_EQ(counter.Selects, 1);
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(counter.Changes, 0);
}

TEST(ComboBoxTest, TypedTextIsAChangeAndSurvivesItemChanges)
{
    TShownForm ui;
    auto* combo = ui.Add<TComboBox>();
    TCounter counter;
    combo->OnChange = TNotifyEvent(&counter, &TCounter::Change);
    combo->Items()->Add("body");
    combo->SetText("h1");
    EXPECT_EQ(counter.Changes, 0);
    QLineEdit* line = Native<QComboBox>(combo)->lineEdit();
    ASSERT_NE(line, nullptr);
    line->end(false);
    SendKey(line, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(combo->Text(), "h1x");
    EXPECT_EQ(counter.Changes, 1);
    EXPECT_EQ(combo->ItemIndex(), -1);
    combo->Items()->Insert(0, "div");
    EXPECT_EQ(combo->Text(), "h1x");
    combo->SetDropDownCount(0);
    EXPECT_EQ(combo->DropDownCount(), 1);
}

// A box is an edit box until made a list, but makes its edit line only when first used or
// shown: one made a list at once never makes one, and one left an edit box has its line,
// with typing as a change, as soon as it is seen.
TEST(ComboBoxTest, TheEditLineIsMadeWhenTheBoxIsFirstUsedOrShown)
{
    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 300);
    auto* list = new TComboBox(&form);
    list->SetParent(&form);
    EXPECT_EQ(Native<QComboBox>(list)->lineEdit(), nullptr);
    list->SetStyle(csDropDownList);
    list->Items()->Add("HTML");
    EXPECT_TRUE(Native<QComboBox>(list)->findChildren<QLineEdit*>().isEmpty());

    auto* edit = new TComboBox(&form);
    edit->SetParent(&form);
    edit->SetTop(40);
    TCounter counter;
    edit->OnChange = TNotifyEvent(&counter, &TCounter::Change);
    EXPECT_EQ(edit->Style(), csDropDown);
    form.Show();
    QApplication::processEvents();
    QLineEdit* line = Native<QComboBox>(edit)->lineEdit();
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->isVisible());
    SendKey(line, Qt::Key_A, Qt::NoModifier, "a");
    EXPECT_EQ(edit->Text(), "a");
    EXPECT_EQ(counter.Changes, 1);
    EXPECT_TRUE(Native<QComboBox>(list)->findChildren<QLineEdit*>().isEmpty());
}

// ---- Scroll bars -----------------------------------------------------------------------------

namespace {

struct TScrollLog {
    std::vector<std::pair<TScrollCode, int>> Seen;
    int Override = -1;
    int Changes = 0;
    void Scroll(TObject*, TScrollCode code, int& pos)
    {
        Seen.emplace_back(code, pos);
        if (Override >= 0)
            pos = Override;
    }
    void Change(TObject*) { ++Changes; }
};

}  // namespace

TEST(ScrollBarControlTest, UserActionsAskOnScrollWhichMayMoveThePositionElsewhere)
{
    TShownForm ui;
    auto* bar = ui.Add<TScrollBar>();
    bar->SetKind(sbVertical);
    EXPECT_GT(bar->Height(), bar->Width());
    bar->SetParams(0, 0, 20);
    bar->SetPageSize(5);
    TScrollLog log;
    bar->OnScroll = TScrollBarEvent(&log, &TScrollLog::Scroll);
    bar->OnChange = TNotifyEvent(&log, &TScrollLog::Change);
    auto* widget = Native<QScrollBar>(bar);
    EXPECT_EQ(widget->focusPolicy(), Qt::NoFocus);

    widget->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    ASSERT_EQ(log.Seen.size(), 1u);
    EXPECT_EQ(log.Seen[0], std::make_pair(scLineDown, 1));
    EXPECT_EQ(bar->Position(), 1);
    widget->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(log.Seen.back(), std::make_pair(scPageDown, 6));
    log.Override = 3;
    widget->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(log.Seen.back(), std::make_pair(scBottom, 20));
    EXPECT_EQ(bar->Position(), 3);
    EXPECT_EQ(widget->value(), 3);
    EXPECT_EQ(log.Changes, 3);
}

TEST(ScrollBarControlTest, SetParamsOrdersTheRangeAndKeepsThePositionInside)
{
    TShownForm ui;
    auto* bar = ui.Add<TScrollBar>();
    TScrollLog log;
    bar->OnChange = TNotifyEvent(&log, &TScrollLog::Change);
    bar->SetParams(50, 40, 10);
    EXPECT_EQ(bar->Min(), 10);
    EXPECT_EQ(bar->Max(), 40);
    EXPECT_EQ(bar->Position(), 40);
    EXPECT_EQ(log.Changes, 1);
    bar->SetMax(30);
    EXPECT_EQ(bar->Position(), 30);
    bar->SetPosition(30);
    EXPECT_EQ(log.Changes, 2);
    EXPECT_TRUE(log.Seen.empty());  // code never asks OnScroll
}
