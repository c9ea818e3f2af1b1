// A control's font and colours reach its hosted widget once the widget is about to be
// shown: a control given several fonts before then pushes only the last, and whatever
// reads the widget's look before then (a label sizing itself, a tool bar sizing a caption,
// painting a control that was never shown) reads the control's own.
#include "controls/StdCtrlsTestSupport.h"

#include "platform/controls/ComCtrls.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/graphics/Graphics.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"

#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QToolButton>

#include <gtest/gtest.h>

#include <vector>

namespace {

void ExpectLook(const TControl* control, const char* family, int pixels, bool bold, TColor text, TColor window)
{
    const QWidget* widget = control->Window()->Hosted();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(QFontInfo(widget->font()).family().toStdString(), family);
    EXPECT_EQ(widget->font().pixelSize(), pixels);
    EXPECT_EQ(widget->font().bold(), bold);
    EXPECT_EQ(widget->palette().color(QPalette::Active, QPalette::Text), QColorFromColor(text));
    EXPECT_EQ(widget->palette().color(QPalette::Inactive, QPalette::WindowText), QColorFromColor(text));
    EXPECT_EQ(widget->palette().color(QPalette::Active, QPalette::Window), QColorFromColor(window));
}

// A label sized by its text and font: its size on a shown form.
TSize LabelSizeOnAShownForm(const char* caption, int height)
{
    TShownForm ui;
    auto* label = ui.Add<TLabel>();
    label->Font()->SetHeight(height);
    label->SetCaption(caption);
    return TSize{label->Width(), label->Height()};
}

// Sizes the form, and shows it first when asked: a control made then is seen at once.
void SetUpForm(TForm& form, int width, int height, bool showFirst)
{
    form.SetBounds(0, 0, width, height);
    if (showFirst) {
        form.Show();
        QApplication::processEvents();
    }
}

}  // namespace

TEST(HostedLookTest, ChangesBeforeTheFirstShowingArePushedOnceAndThenAtOnce)
{
    TForm form(nullptr);
    form.SetBounds(50, 50, 300, 200);
    const int before = HostedLookPushCount();
    auto* list = new TListBox(&form);
    list->SetParent(&form);
    list->SetBounds(10, 10, 200, 150);
    list->Font()->SetName("Arial");
    list->Font()->SetHeight(-12);
    list->Font()->SetStyle(TFontStyles(fsBold));
    list->Font()->SetColor(clNavy);
    list->SetColor(clYellow);
    EXPECT_EQ(HostedLookPushCount(), before) << "pushed before the widget is shown";

    form.Show();
    QApplication::processEvents();
    EXPECT_EQ(HostedLookPushCount(), before + 1);
    ExpectLook(list, "Liberation Sans", 12, true, clNavy, clYellow);

    list->SetColor(clAqua);
    EXPECT_EQ(HostedLookPushCount(), before + 2);
    ExpectLook(list, "Liberation Sans", 12, true, clNavy, clAqua);
    list->Font()->SetHeight(-15);
    ExpectLook(list, "Liberation Sans", 15, true, clNavy, clAqua);
}

TEST(HostedLookTest, ALabelSizedBeforeItsFormIsShownMeasuresInItsOwnFont)
{
    const char* caption = "A caption in a large face";
    const TSize shown = LabelSizeOnAShownForm(caption, -30);
    TForm form(nullptr);
    form.SetBounds(50, 50, 400, 200);
    auto* label = new TLabel(&form);
    label->SetParent(&form);
    label->Font()->SetHeight(-30);
    label->SetCaption(caption);
    EXPECT_EQ(label->Width(), shown.cx);
    EXPECT_EQ(label->Height(), shown.cy);
    EXPECT_GE(label->Height(), 30);
    form.Show();
    QApplication::processEvents();
    EXPECT_EQ(label->Width(), shown.cx);
    EXPECT_EQ(label->Height(), shown.cy);
}

TEST(HostedLookTest, AToolBarSizesACaptionInItsButtonsFontBeforeTheBarIsShown)
{
    auto captionWidth = [](bool showFirst) {
        TForm form(nullptr);
        SetUpForm(form, 600, 200, showFirst);
        auto* bar = new TToolBar(&form);
        bar->SetParent(&form);
        auto* button = new TToolButton(&form);
        button->SetParent(bar);
        button->Font()->SetHeight(-28);
        button->SetCaption("Save everything");
        bar->SetShowCaptions(true);
        return button->Width();
    };
    const int shown = captionWidth(true);
    EXPECT_GT(shown, 100) << "the caption is measured in the button's large font";
    EXPECT_EQ(captionWidth(false), shown);
}

TEST(HostedLookTest, AControlNeverShownIsPaintedInItsOwnLook)
{
    // The red pixels of a panel with a large red label on yellow, painted to a bitmap.
    auto redPixels = [](bool showFirst) {
        TForm form(nullptr);
        SetUpForm(form, 200, 100, showFirst);
        auto* panel = new TPanel(&form);
        panel->SetParent(&form);
        panel->SetBounds(0, 0, 200, 100);
        auto* label = new TLabel(&form);
        label->SetParent(panel);
        label->SetLeft(4);
        label->SetTop(4);
        label->Font()->SetHeight(-24);
        label->Font()->SetColor(clRed);
        label->SetColor(clYellow);
        label->SetCaption("WM");
        TBitmap bitmap;
        bitmap.SetSize(200, 100);
        bitmap.GetCanvas()->GetBrush()->SetColor(clWhite);
        bitmap.GetCanvas()->FillRect(Rect(0, 0, 200, 100));
        panel->PaintTo(bitmap.GetCanvas(), 0, 0);
        std::vector<int> red;
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 200; ++x)
                if (bitmap.GetCanvas()->GetPixel(x, y) == clRed)
                    red.push_back(y * 200 + x);
        return red;
    };
    const std::vector<int> shown = redPixels(true);
    EXPECT_GT(shown.size(), 50u);
    EXPECT_EQ(redPixels(false), shown);
}
