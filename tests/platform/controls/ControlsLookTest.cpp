// How controls look together, in real windows on a virtual X server: check boxes and
// radio buttons show their parent's background (a group box's shaded inside) rather than
// a rectangle of their own, and a page control draws a frame around its page, also with a
// single tab.
#include "XServer.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/StdCtrls.h"
#include "platform/forms/Forms.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class ControlsLookOnX : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QvTest::OnXServer())
            GTEST_SKIP() << "runs only inside ControlsLook.OnAnXServer";
    }

    // The form as it is on the screen, in form client coordinates.
    static QImage Shot(TForm& Form)
    {
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        return Form.Window()->Client()->grab().toImage();
    }

    static QPoint At(const TControl* Control, int X, int Y)
    {
        const QPoint p = Control->Window()->Client()->mapTo(Control->Window()->Client()->window(), QPoint(X, Y));
        const QPoint origin = GetParentForm(Control)->Window()->Client()->mapTo(
            GetParentForm(Control)->Window()->Client()->window(), QPoint(0, 0));
        return p - origin;
    }
};

TEST_F(ControlsLookOnX, CheckBoxesAndRadioButtonsShowTheGroupBoxBehindThem)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 360, 200);
    auto* group = new TGroupBox(&form);
    group->SetParent(&form);
    group->SetCaption("Search settings");
    group->SetBounds(8, 8, 340, 120);
    auto* check = new TCheckBox(&form);
    check->SetParent(group);
    check->SetCaption("Match case");
    check->SetBounds(10, 30, 150, 20);
    auto* radio = new TRadioButton(&form);
    radio->SetParent(group);
    radio->SetCaption("Back");
    radio->SetBounds(180, 30, 140, 20);
    form.Show();
    const QImage shot = Shot(form);

    // The group's inside, away from every child, against the blank right part of each
    // button (past its text, inside its bounds).
    const QColor inside = shot.pixelColor(At(group, 170, 90));
    EXPECT_EQ(shot.pixelColor(At(check, 145, 10)), inside) << "the check box's own background shows";
    EXPECT_EQ(shot.pixelColor(At(radio, 135, 10)), inside) << "the radio button's own background shows";

    // A colour of its own is still drawn.
    check->SetColor(clRed);
    const QImage red = Shot(form);
    EXPECT_EQ(red.pixelColor(At(check, 145, 10)), QColor(Qt::red));
}

TEST_F(ControlsLookOnX, APageControlFramesItsPageAlsoWithOneTab)
{
    TForm form(nullptr);
    form.SetBounds(40, 40, 360, 260);
    auto* pages = new TPageControl(&form);
    pages->SetParent(&form);
    pages->SetBounds(6, 6, 340, 220);
    auto* sheet = new TTabSheet(&form);
    sheet->SetPageControl(pages);
    sheet->SetCaption("Find and replace");
    form.Show();
    const QImage shot = Shot(form);

    // Around the sheet, between it and the page control's edges, the frame's lines differ
    // from the face colour of the sheet.
    const QColor face = shot.pixelColor(At(sheet, sheet->Width() / 2, sheet->Height() / 2));
    ASSERT_GT(sheet->Left(), 0);
    const int midY = sheet->Top() + sheet->Height() / 2;
    const int bottom = pages->ClientHeight() - 1;
    EXPECT_NE(shot.pixelColor(At(pages, 0, midY)), face) << "no left edge";
    EXPECT_NE(shot.pixelColor(At(pages, pages->ClientWidth() - 1, midY)), face) << "no right edge";
    EXPECT_NE(shot.pixelColor(At(pages, pages->ClientWidth() / 2, bottom)), face) << "no bottom edge";
}

TEST(ControlsLook, OnAnXServer)
{
    QvTest::ExpectPassOnXServer("ControlsLookOnX.*", 120);
}

}  // namespace
