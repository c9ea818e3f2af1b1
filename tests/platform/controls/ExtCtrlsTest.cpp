// Panels, speed buttons, splitters and the colour box.
#include "window/RecordingControl.h"

#include "platform/controls/ExtCtrls.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/forms/Dialogs.h"

#include <QComboBox>
#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

struct TSelections {
    int Count = 0;
    void Select(TObject*) { ++Count; }
};

// A scripted colour dialog: answers with Answer and, when confirming, picks Choice.
struct TColorScript {
    int Answer = IDOK;
    TColor Choice = clBlack;
    TColor Shown = clNone;
    int Asked = 0;
    TModalHook Previous;

    TColorScript()
    {
        Previous = SetModalHook([this](const TModalRequest&) {
            ++Asked;
            auto* dialog = dynamic_cast<TColorDialog*>(ExecutingDialog());
            if (dialog != nullptr) {
                Shown = dialog->GetColor();
                if (Answer == IDOK)
                    dialog->SetColor(Choice);
            }
            return Answer;
        });
    }
    ~TColorScript() { SetModalHook(Previous); }
    TColorScript(const TColorScript&) = delete;
    TColorScript& operator=(const TColorScript&) = delete;
};

void UserPicks(TColorBox* box, int index)
{
    auto* combo = dynamic_cast<QComboBox*>(box->Window()->Hosted());
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace

TEST(PanelTest, BevelsAndCaptionReachTheWidget)
{
    TForm form(nullptr);
    TPanel panel(&form);
    auto* frame = dynamic_cast<QLabel*>(panel.Window()->Hosted());
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->frameShadow(), QFrame::Raised);
    panel.SetBevelOuter(bvLowered);
    EXPECT_EQ(frame->frameShadow(), QFrame::Sunken);
    panel.SetBevelOuter(bvNone);
    EXPECT_EQ(frame->frameShape(), QFrame::NoFrame);
    panel.SetCaption("R&D отдел");
    EXPECT_EQ(frame->text(), "R&D отдел");
}

TEST(SpeedButtonTest, GlyphLeavesOutItsBottomLeftColourAndClicksRunOnClick)
{
    TForm form(nullptr);
    TSpeedButton button(&form);
    TBitmap glyph;
    glyph.SetSize(4, 4);
    glyph.GetCanvas()->GetBrush()->SetColor(clFuchsia);
    glyph.GetCanvas()->FillRect({0, 0, 4, 4});
    glyph.GetCanvas()->GetBrush()->SetColor(clNavy);
    glyph.GetCanvas()->FillRect({1, 1, 3, 3});
    button.SetGlyph(&glyph);
    button.SetFlat(true);
    button.SetCaption("Открыть");

    auto* tool = dynamic_cast<QToolButton*>(button.Window()->Hosted());
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->text(), "Открыть");
    EXPECT_TRUE(tool->autoRaise());
    EXPECT_EQ(tool->focusPolicy(), Qt::NoFocus);
    const QImage icon = tool->icon().pixmap(4, 4).toImage();
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(QColor(icon.pixel(1, 1)), QColor(0, 0, 0x80));

    TSelections clicks;
    button.OnClick = TNotifyEvent(&clicks, &TSelections::Select);
    tool->click();
    EXPECT_EQ(clicks.Count, 1);
}

TEST(SplitterTest, DraggingResizesTheControlBeforeItWithinMinSize)
{
    TForm form(nullptr);
    form.SetBounds(100, 100, 400, 200);
    auto* side = new TPanel(&form);
    side->SetParent(&form);
    side->SetWidth(100);
    side->SetAlign(alLeft);
    auto* splitter = new TSplitter(&form);
    splitter->SetParent(&form);
    splitter->SetLeft(100);
    splitter->SetMinSize(50);
    auto* rest = new TPanel(&form);
    rest->SetParent(&form);
    rest->SetAlign(alClient);
    form.Show();
    QApplication::processEvents();
    ASSERT_EQ(splitter->Left(), 100);

    QWidget* bar = splitter->Window()->Client();
    SendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {1, 5});
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {41, 5});
    EXPECT_EQ(side->Width(), 140);
    EXPECT_EQ(splitter->Left(), 140);  // live: the splitter follows at once
    // Far right: the client part keeps MinSize; far left: the side keeps MinSize.
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {1000 - 40, 5});
    EXPECT_EQ(rest->Width(), 50);
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {-1000, 5});
    EXPECT_EQ(side->Width(), 50);
    SendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {-1000, 5});
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, {30, 5});
    EXPECT_EQ(side->Width(), 50);
}

TEST(SplitterTest, DraggingStopsAtTheResizedControlsMaximumWidth)
{
    TForm form(nullptr);
    form.SetBounds(100, 100, 900, 200);
    auto* side = new TPanel(&form);
    side->SetParent(&form);
    side->SetWidth(100);
    side->SetAlign(alLeft);
    side->SetConstraints({.MaxWidth = 400});
    auto* splitter = new TSplitter(&form);
    splitter->SetParent(&form);
    splitter->SetLeft(100);
    auto* rest = new TPanel(&form);
    rest->SetParent(&form);
    rest->SetAlign(alClient);
    form.Show();
    QApplication::processEvents();

    QWidget* bar = splitter->Window()->Client();
    SendMouse(bar, QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, {1, 5});
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {1 + 250, 5});
    EXPECT_EQ(side->Width(), 350);
    SendMouse(bar, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, {1 + 600, 5});
    EXPECT_EQ(side->Width(), 400);
    // The bar stays at the control's edge and the rest fills what is left.
    EXPECT_EQ(splitter->Left(), 400);
    EXPECT_EQ(rest->Left(), 403);
    EXPECT_EQ(rest->Width(), form.ClientWidth() - 403);
    SendMouse(bar, QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, {1 + 600, 5});
}

TEST(SizeConstraintsTest, EverySizingStaysWithinTheMaximum)
{
    TForm form(nullptr);
    form.SetBounds(0, 0, 600, 400);
    auto* top = new TPanel(&form);
    top->SetParent(&form);
    top->SetHeight(300);
    top->SetConstraints({.MaxWidth = 0, .MaxHeight = 120});
    EXPECT_EQ(top->Height(), 120) << "a larger control shrinks when the limit is set";
    top->SetAlign(alTop);
    EXPECT_EQ(top->Height(), 120);
    EXPECT_EQ(top->Width(), form.ClientWidth()) << "no width limit: alignment stretches it";
    auto* fill = new TPanel(&form);
    fill->SetParent(&form);
    fill->SetConstraints({.MaxWidth = 250});
    fill->SetAlign(alClient);
    EXPECT_EQ(fill->Top(), 120);
    EXPECT_EQ(fill->Width(), 250);
    EXPECT_EQ(fill->Height(), form.ClientHeight() - 120);
    fill->SetBounds(5, 5, 1000, 1000);
    EXPECT_EQ(fill->Width(), 250);
    fill->SetConstraints({});
    fill->SetWidth(1000);
    EXPECT_EQ(fill->Width(), form.ClientWidth()) << "0 sets no limit: it fills the client again";
}

TEST(ColorBoxTest, ListsCustomDefaultAndTheStandardColoursByName)
{
    TForm form(nullptr);
    TColorBox box(&form);
    ASSERT_EQ(box.ItemCount(), 18);
    EXPECT_EQ(box.ItemText(0), "Custom...");
    EXPECT_EQ(box.ItemText(1), "Default");
    EXPECT_EQ(box.Colors(1), clDefault);
    EXPECT_EQ(box.ItemText(2), "Black");
    EXPECT_EQ(box.ItemText(11), "Red");
    EXPECT_EQ(box.Colors(11), clRed);
    EXPECT_EQ(box.ItemText(17), "White");
    EXPECT_THROW(box.ItemText(18), EListError);
    EXPECT_EQ(box.Selected(), clBlack);

    box.SetSelected(clTeal);
    EXPECT_EQ(box.ItemText(box.ItemIndex()), "Teal");
    box.SetSelected(static_cast<TColor>(0x123456));  // not listed: the custom entry's
    EXPECT_EQ(box.ItemIndex(), 0);
    EXPECT_EQ(box.Selected(), static_cast<TColor>(0x123456));
}

TEST(ColorBoxTest, OnSelectFiresForTheUsersChoiceOnly)
{
    TForm form(nullptr);
    TColorBox box(&form);
    TSelections selections;
    box.OnSelect = TNotifyEvent(&selections, &TSelections::Select);
    box.SetSelected(clRed);
    EXPECT_EQ(selections.Count, 0);
    UserPicks(&box, 1);
    EXPECT_EQ(selections.Count, 1);
    EXPECT_EQ(box.Selected(), clDefault);
}

TEST(ColorBoxTest, CustomOpensTheColourDialogAndCancellingKeepsTheOldChoice)
{
    TForm form(nullptr);
    TColorBox box(&form);
    TSelections selections;
    box.OnSelect = TNotifyEvent(&selections, &TSelections::Select);
    box.SetSelected(clGreen);

    TColorScript script;
    script.Answer = IDCANCEL;
    UserPicks(&box, 0);
    EXPECT_EQ(script.Asked, 1);
    EXPECT_EQ(box.Selected(), clGreen);
    EXPECT_EQ(selections.Count, 0);

    script.Answer = IDOK;
    script.Choice = static_cast<TColor>(0x00A0B0C0);
    UserPicks(&box, 0);
    EXPECT_EQ(box.Selected(), static_cast<TColor>(0x00A0B0C0));
    EXPECT_EQ(box.ItemIndex(), 0);
    EXPECT_EQ(selections.Count, 1);
    // The dialog opens on the custom colour chosen last.
    UserPicks(&box, 0);
    EXPECT_EQ(script.Shown, static_cast<TColor>(0x00A0B0C0));
}
