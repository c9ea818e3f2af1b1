// Gutter marks and plug-ins of the editor control. A mark is a glyph attached to a line;
// the ten numbered bookmarks are marks that also remember a column. The editor's mark
// list owns every mark in it. A plug-in attaches itself to an editor and is told after
// each paint and when lines are inserted or deleted.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/runtime/System.h"
#include "platform/runtime/Types.h"

#include <array>

class TCustomQvEdit;

class TQvEditMark : public TObject {
public:
    explicit TQvEditMark(TCustomQvEdit* AOwner);

    // The editor, or nullptr once the mark is no longer in that editor's Marks.
    virtual TCustomQvEdit* GetEdit();

    Integer GetLine() const { return line_; }
    virtual void SetLine(Integer Value);
    Integer GetColumn() const { return column_; }
    virtual void SetColumn(Integer Value);
    Integer GetImageIndex() const { return image_; }
    virtual void SetImage(Integer Value);
    bool GetVisible() const { return visible_; }
    void SetVisible(bool Value);
    bool GetInternalImage() const { return internalImage_; }
    void SetInternalImage(bool Value);
    Integer GetBookmarkNumber() const { return bookmarkNumber_; }
    void SetBookmarkNumber(Integer Value) { bookmarkNumber_ = Value; }
    bool IsBookmark() const { return bookmarkNumber_ >= 0; }

protected:
    // Repaints the gutter of the mark's line while the mark is visible and in its editor.
    void RepaintGutterLine();

    TCustomQvEdit* edit_;
    Integer line_ = 0;
    Integer column_ = 0;
    Integer image_ = 0;
    Integer bookmarkNumber_ = -1;
    bool visible_ = false;
    bool internalImage_ = false;
};

// At most this many marks of one line are drawn and looked at for gutter clicks.
inline constexpr int QvEditMaxMarksPerLine = 16;
using TQvEditMarks = std::array<TQvEditMark*, QvEditMaxMarksPerLine>;

// The marks of an editor in insertion order. Every changing operation fires OnChange
// after it; Delete and Remove hand the mark back without freeing it. Clear, ClearLine and
// freeing the list free the marks they take out.
class TQvEditMarkList : public TList {
public:
    explicit TQvEditMarkList(TCustomQvEdit* AOwner);
    ~TQvEditMarkList() override;

    TQvEditMark* Get(int Index) const { return static_cast<TQvEditMark*>(TList::Get(Index)); }
    void Put(int Index, TQvEditMark* Item);
    int Add(TQvEditMark* Item);
    void Insert(int Index, TQvEditMark* Item);
    void Delete(int Index);
    int Remove(TQvEditMark* Item);
    TQvEditMark* First() const { return static_cast<TQvEditMark*>(TList::First()); }
    TQvEditMark* Last() const { return static_cast<TQvEditMark*>(TList::Last()); }
    // Frees every mark and empties the list.
    void Clear();

    // Frees the marks on Line that are not bookmarks.
    void ClearLine(Integer Line);
    // The marks of Line in list order, at most QvEditMaxMarksPerLine, the rest nullptr.
    void GetMarksForLine(Integer Line, TQvEditMarks& Marks) const;
    // Offers the mark to the editor's OnPlaceBookmark and adds what it leaves. The list
    // takes the mark over: when the handler replaced or dropped it, it is freed (unless
    // the handler put it into the list itself).
    void Place(TQvEditMark* Mark);

    TCustomQvEdit* GetEdit() const { return edit_; }

    TNotifyEvent OnChange;

private:
    void Changed();
    // Frees a mark the list gives up and empties the editor's bookmark slot holding it.
    void Release(TQvEditMark* Mark);

    TCustomQvEdit* edit_;
};

// An object told about an editor's paints and line insertions and deletions. It attaches
// itself to the editor given to the constructor and detaches in its destructor; the
// editor frees the plug-ins still attached when it is destroyed.
class TQvEditPlugin : public TObject {
public:
    explicit TQvEditPlugin(TCustomQvEdit* AOwner);
    ~TQvEditPlugin() override;

    TCustomQvEdit* GetEditor() const { return owner_; }

    virtual void AfterPaint(TCanvas* ACanvas, const TRect& AClip, Integer FirstLine,
                            Integer LastLine) = 0;
    virtual void LinesInserted(Integer FirstLine, Integer Count) = 0;
    virtual void LinesDeleted(Integer FirstLine, Integer Count) = 0;

private:
    TCustomQvEdit* owner_;
};
