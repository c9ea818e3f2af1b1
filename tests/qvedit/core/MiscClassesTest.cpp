#include "qvedit/core/QvEditMiscClasses.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TChangeCounter : public TObject {
public:
    void Changed(TObject*) { ++count; }
    int count = 0;
};

const char* const BookmarkImage = "QvEditInternalImages";

TEST(SelectedColor, ReportsEffectiveChangesAndAssignCopiesBoth)
{
    TQvSelectedColor colours;
    TChangeCounter changes;
    colours.OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed);
    colours.SetBackground(clHighlight);
    colours.SetForeground(clHighlightText);
    EXPECT_EQ(changes.count, 0);
    colours.SetBackground(clNavy);
    colours.SetForeground(clYellow);
    EXPECT_EQ(changes.count, 2);

    TQvSelectedColor copy;
    TChangeCounter copyChanges;
    copy.OnChange = TNotifyEvent(&copyChanges, &TChangeCounter::Changed);
    copy.Assign(&colours);
    EXPECT_EQ(copy.GetBackground(), clNavy);
    EXPECT_EQ(copy.GetForeground(), clYellow);
    EXPECT_EQ(copyChanges.count, 1);
}

TEST(BookMarkOpt, ReportsEffectiveChangesAndAssignCopiesAllButTheOwner)
{
    TComponent owner(nullptr);
    TQvBookMarkOpt options(&owner);
    TChangeCounter changes;
    options.OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed);
    options.SetLeftMargin(2);
    options.SetXoffset(12);
    options.SetEnableKeys(true);
    EXPECT_EQ(changes.count, 0);

    TImageList images;
    options.SetBookmarkImages(&images);
    options.SetDrawBookmarksFirst(false);
    options.SetEnableKeys(false);
    options.SetGlyphsVisible(false);
    options.SetLeftMargin(5);
    options.SetXoffset(20);
    EXPECT_EQ(changes.count, 6);

    TQvBookMarkOpt copy(nullptr);
    TChangeCounter copyChanges;
    copy.OnChange = TNotifyEvent(&copyChanges, &TChangeCounter::Changed);
    copy.Assign(&options);
    EXPECT_EQ(copyChanges.count, 1);
    EXPECT_EQ(copy.GetBookmarkImages(), &images);
    EXPECT_FALSE(copy.GetDrawBookmarksFirst());
    EXPECT_FALSE(copy.GetEnableKeys());
    EXPECT_FALSE(copy.GetGlyphsVisible());
    EXPECT_EQ(copy.GetLeftMargin(), 5);
    EXPECT_EQ(copy.GetXoffset(), 20);
    EXPECT_EQ(copy.GetOwner(), nullptr);
}

// Options that point at an image list, set directly or copied by Assign, let go of it
// when it is freed, and report the change; an image list that is set no longer does
// not reach the options.
TEST(BookMarkOpt, FreedImageListIsClearedFromEveryOptionsThatUseIt)
{
    TQvBookMarkOpt options(nullptr);
    TQvBookMarkOpt copy(nullptr);
    TChangeCounter changes;
    options.OnChange = TNotifyEvent(&changes, &TChangeCounter::Changed);
    auto images = std::make_unique<TImageList>();
    TImageList other;
    options.SetBookmarkImages(images.get());
    copy.Assign(&options);
    copy.SetBookmarkImages(&other);
    copy.Assign(&options);
    EXPECT_EQ(copy.GetBookmarkImages(), images.get());
    changes.count = 0;
    images.reset();
    EXPECT_EQ(options.GetBookmarkImages(), nullptr);
    EXPECT_EQ(copy.GetBookmarkImages(), nullptr);
    EXPECT_EQ(changes.count, 1);

    {
        TImageList replaced;
        options.SetBookmarkImages(&replaced);
        options.SetBookmarkImages(&other);
    }
    EXPECT_EQ(options.GetBookmarkImages(), &other);
}

TEST(InternalImage, LoadsByNameSharedAcrossLetterCase)
{
    auto first = std::make_unique<TQvInternalImage>(BookmarkImage, 10);
    EXPECT_EQ(first->GetBitmap()->GetWidth(), 110);
    EXPECT_EQ(first->GetWidth(), 11);
    EXPECT_EQ(first->GetHeight(), 14);
    TQvInternalImage second("QVEDITINTERNALIMAGES", 4);
    EXPECT_EQ(second.GetBitmap(), first->GetBitmap());
    EXPECT_EQ(second.GetWidth(), 28);  // 110 / 4 rounded
    first.reset();
    EXPECT_EQ(second.GetBitmap()->GetWidth(), 110);  // the survivor keeps the bitmap

    EXPECT_THROW(TQvInternalImage("NoSuchImage", 10), EResNotFound);
    // A count below 1 has no glyphs (and does not divide by zero).
    EXPECT_EQ(TQvInternalImage(BookmarkImage, 0).GetWidth(), 0);
}

// A white bitmap to draw glyphs on.
std::unique_ptr<TBitmap> WhiteBitmap(Integer width, Integer height)
{
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetSize(width, height);
    bitmap->GetCanvas()->GetBrush()->SetColor(clWhite);
    bitmap->GetCanvas()->FillRect(TRect{0, 0, width, height});
    return bitmap;
}

// Whether the glyph's rows from sourceTop on, `rows` rows, are at (x, y) of the target,
// with white rows above and below.
void ExpectGlyphAt(TQvInternalImage& image, Integer number, TBitmap& target, Integer x,
                   Integer y, Integer sourceTop, Integer rows)
{
    TCanvas* source = image.GetBitmap()->GetCanvas();
    for (Integer row = -1; row <= rows; ++row) {
        for (Integer col = 0; col < image.GetWidth(); ++col) {
            const TColor actual = target.GetCanvas()->GetPixel(x + col, y + row);
            if (row < 0 || row == rows)
                ASSERT_EQ(actual, clWhite) << "row " << row;
            else
                ASSERT_EQ(actual, source->GetPixel(number * image.GetWidth() + col,
                                                   sourceTop + row))
                    << "row " << row << " column " << col;
        }
    }
}

TEST(InternalImage, DrawMarkCentresInTallLinesAndShowsTheMiddleOfLowOnes)
{
    TQvInternalImage image(BookmarkImage, 10);
    auto target = WhiteBitmap(40, 30);
    image.DrawMark(target->GetCanvas(), 3, 4, 2, 20);  // 3 rows above, 3 below
    ExpectGlyphAt(image, 3, *target, 4, 5, 0, 14);

    image.DrawMark(target->GetCanvas(), 9, 20, 1, 8);  // source rows 3..10
    ExpectGlyphAt(image, 9, *target, 20, 1, 3, 8);

    auto untouched = WhiteBitmap(40, 30);
    image.DrawMark(untouched->GetCanvas(), 10, 0, 0, 14);
    image.DrawMark(untouched->GetCanvas(), -1, 0, 0, 14);
    EXPECT_EQ(untouched->GetCanvas()->GetPixel(5, 5), clWhite);
}

TEST(InternalImage, DrawMarkTransparentKeepsTheCanvasUnderTheTransparentColour)
{
    TQvInternalImage image(BookmarkImage, 10);
    const TColor grey = image.GetBitmap()->GetCanvas()->GetPixel(0, 0);
    auto target = WhiteBitmap(11, 14);
    image.DrawMarkTransparent(target->GetCanvas(), 0, 0, 0, 14, grey);
    EXPECT_EQ(target->GetCanvas()->GetPixel(0, 0), clWhite);
    EXPECT_EQ(target->GetCanvas()->GetPixel(5, 5), image.GetBitmap()->GetCanvas()->GetPixel(5, 5));
}

// The hot-key box with its key handlers callable as the control calls them.
class THotKeyProbe : public TQvHotKey {
public:
    using TQvHotKey::TQvHotKey;
    void Down(Word key, TShiftState shift) { KeyDown(key, shift); }
    char Press(char key)
    {
        KeyPress(key);
        return key;
    }
    void Up(Word key, TShiftState shift) { KeyUp(key, shift); }
};

TEST(HotKey, ShowsModifiersInOrderThenTheKeyAndSwallowsCharacters)
{
    THotKeyProbe box(nullptr);
    box.Down(VK_SHIFT, ssShift | ssCtrl | ssAlt);
    EXPECT_EQ(box.GetText(), "Ctrl+Alt+Shift+");
    EXPECT_EQ(box.Press('a'), 'a');
    box.Down('Z', ssShift | ssCtrl);
    EXPECT_EQ(box.GetText(), "Ctrl+Shift+Z");
    EXPECT_EQ(box.GetSelStart(), 12);
    EXPECT_EQ(box.Press('\x1A'), '\0');
    EXPECT_EQ(box.GetHotKey(), ShortCut('Z', ssShift | ssCtrl));
    box.Up('Z', ssShift | ssCtrl);
    EXPECT_EQ(box.GetText(), "Ctrl+Shift+Z");
}

TEST(HotKey, ModifiersAloneBecomeNoneOnKeyUpAndOnLeaving)
{
    THotKeyProbe box(nullptr);
    box.Down(VK_CONTROL, ssCtrl);
    box.Up(VK_CONTROL, 0);
    EXPECT_EQ(box.GetText(), "None");
    EXPECT_EQ(box.GetSelStart(), 4);
    EXPECT_EQ(box.GetHotKey(), 0);

    box.Down(VK_MENU, ssAlt | ssShift);
    box.Perform(WM_KILLFOCUS, 0, 0);
    EXPECT_EQ(box.GetText(), "None");

    box.SetHotKey(ShortCut(VK_DELETE, ssCtrl | ssAlt));
    EXPECT_EQ(box.GetHotKey(), ShortCut(VK_DELETE, ssCtrl | ssAlt));
    box.SetHotKey(0);
    EXPECT_EQ(box.GetText(), "None");
}

}  // namespace
