// Page controls with tab sheets, tool bars and the up-down control.
#include "window/RecordingControl.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/StdCtrls.h"

#include <QApplication>
#include <QStyle>
#include <QTabBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct TChanges {
    int Count = 0;
    void Change(TObject*) { ++Count; }
};

QTabBar* TabBarOf(TPageControl* pages)
{
    return pages->Window()->Client()->findChild<QTabBar*>();
}

struct TPagesForm {
    TForm* Form = new TForm(nullptr);
    TPageControl* Pages = new TPageControl(Form);
    TTabSheet* Files = new TTabSheet(Form);
    TTabSheet* Insert = new TTabSheet(Form);
    TTabSheet* Html = new TTabSheet(Form);

    TPagesForm()
    {
        Form->SetBounds(100, 100, 400, 300);
        Pages->SetParent(Form);
        Pages->SetBounds(0, 0, 300, 200);
        for (auto [sheet, caption] : {std::pair{Files, "Files"}, {Insert, "Вставка"}, {Html, "HTML"}}) {
            sheet->SetPageControl(Pages);
            sheet->SetCaption(caption);
        }
        Form->Show();
        QApplication::processEvents();
    }
    ~TPagesForm() { delete Form; }
    TPagesForm(const TPagesForm&) = delete;
    TPagesForm& operator=(const TPagesForm&) = delete;
};

}  // namespace

TEST(PageControlTest, FirstPageShowsAndCodeChangesFireNoOnChange)
{
    TPagesForm ui;
    TChanges changes;
    ui.Pages->OnChange = TNotifyEvent(&changes, &TChanges::Change);
    ASSERT_EQ(ui.Pages->PageCount(), 3);
    EXPECT_EQ(ui.Pages->ActivePage(), ui.Files);
    EXPECT_TRUE(ui.Files->Visible());
    EXPECT_FALSE(ui.Insert->Visible());
    EXPECT_EQ(ui.Html->PageIndex(), 2);
    EXPECT_EQ(TabBarOf(ui.Pages)->tabText(2), "HTML");
    // Captions are UTF-8.
    EXPECT_EQ(TabBarOf(ui.Pages)->tabText(1), "Вставка");
    ui.Files->SetCaption("Файлы");
    EXPECT_EQ(TabBarOf(ui.Pages)->tabText(0), "Файлы");

    ui.Pages->SetActivePage(ui.Html);
    EXPECT_TRUE(ui.Html->Visible());
    EXPECT_FALSE(ui.Files->Visible());
    EXPECT_EQ(TabBarOf(ui.Pages)->currentIndex(), 2);
    EXPECT_EQ(changes.Count, 0);

    TabBarOf(ui.Pages)->setCurrentIndex(1);  // the user
    EXPECT_EQ(ui.Pages->ActivePage(), ui.Insert);
    EXPECT_EQ(changes.Count, 1);

    TTabSheet stranger(nullptr);
    EXPECT_THROW(ui.Pages->SetActivePage(&stranger), EInvalidOperation);
}

TEST(PageControlTest, FreeingTheActiveSheetActivatesAnotherAndLeavesNoTab)
{
    TPagesForm ui;
    ui.Pages->SetActivePage(ui.Html);
    delete ui.Html;
    EXPECT_EQ(ui.Pages->PageCount(), 2);
    EXPECT_EQ(TabBarOf(ui.Pages)->count(), 2);
    EXPECT_EQ(ui.Pages->ActivePage(), ui.Insert);
    EXPECT_TRUE(ui.Insert->Visible());
    delete ui.Files;
    EXPECT_EQ(ui.Pages->ActivePageIndex(), 0);
    EXPECT_EQ(ui.Pages->Pages(0), ui.Insert);
}

TEST(PageControlTest, TabsOnTheLeftPutThePagesBesideThem)
{
    TPagesForm ui;
    ui.Pages->SetTabPosition(tpLeft);
    QTabBar* bar = TabBarOf(ui.Pages);
    EXPECT_EQ(bar->shape(), QTabBar::RoundedWest);
    // Inside the pages' frame, which takes the rest of the client area.
    const int frame = QApplication::style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    ASSERT_GT(frame, 0);
    EXPECT_EQ(ui.Files->Left(), bar->width() + frame);
    EXPECT_EQ(ui.Files->Top(), frame);
    EXPECT_EQ(ui.Files->Left() + ui.Files->Width(), ui.Pages->ClientWidth() - frame);
    ui.Pages->SetWidth(250);
    EXPECT_EQ(ui.Files->Left() + ui.Files->Width(), ui.Pages->ClientWidth() - frame);
    EXPECT_EQ(ui.Files->Top() + ui.Files->Height(), ui.Pages->ClientHeight() - frame);
}

TEST(ToolBarTest, PlacesItsControlsLeftToRightSkippingHiddenOnes)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 400, 200);
    auto* bar = new TToolBar(&form);
    bar->SetParent(&form);
    bar->SetButtonHeight(21);
    auto* open = new TSpeedButton(&form);
    open->SetParent(bar);
    auto* divider = new TToolButton(&form);
    divider->SetStyle(tbsDivider);
    divider->SetParent(bar);
    auto* hidden = new TEdit(&form);
    hidden->SetVisible(false);
    hidden->SetParent(bar);
    auto* save = new TToolButton(&form);
    save->SetParent(bar);
    save->SetCaption("Сохранить");

    EXPECT_EQ(bar->Align(), alTop);
    EXPECT_EQ(open->Left(), 0);
    EXPECT_EQ(divider->Left(), 23);
    EXPECT_EQ(divider->Width(), 8);
    EXPECT_EQ(save->Left(), 31);
    EXPECT_EQ(save->Height(), 21);
    auto* tool = save->Window()->Hosted()->findChild<QToolButton*>();
    EXPECT_EQ(tool->text(), "");  // captions show only with ShowCaptions
    bar->SetShowCaptions(true);
    EXPECT_EQ(tool->text(), "Сохранить");
}

TEST(UpDownTest, PositionFollowsTheEditBoxWithinMinAndMax)
{
    TForm form(nullptr);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    auto* updown = new TUpDown(&form);
    updown->SetParent(&form);
    updown->SetMax(32767);
    updown->SetAssociate(edit);
    EXPECT_EQ(edit->Text(), "0");

    edit->SetText("120");
    EXPECT_EQ(updown->Position(), 120);
    updown->Step(1);
    EXPECT_EQ(edit->Text(), "121");
    edit->SetText("99999");
    EXPECT_EQ(updown->Position(), 32767);
    edit->SetText("twelve");
    EXPECT_EQ(updown->Position(), 121);  // the last position stands

    updown->SetPosition(32767);
    updown->Step(1);
    EXPECT_EQ(updown->Position(), 32767);  // no wrap
    updown->SetPosition(0);
    updown->Step(-1);
    EXPECT_EQ(updown->Position(), 0);
    updown->SetWrap(true);
    updown->Step(-1);
    EXPECT_EQ(updown->Position(), 32767);

    delete edit;  // the up-down forgets it
    EXPECT_EQ(updown->Associate(), nullptr);
    updown->Step(-1);
    EXPECT_EQ(updown->Position(), 32766);
}
