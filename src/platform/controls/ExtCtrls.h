// ExtCtrls: panels, speed buttons, pictures, splitters and the colour box. They host
// native widgets as described at the top of StdCtrls.h.
#pragma once

#include "platform/controls/StdCtrls.h"
#include "platform/window/Controls.h"

#include <memory>
#include <string>

class TColorDialog;

enum TBevelCut { bvNone, bvLowered, bvRaised };

// ---- TPanel -----------------------------------------------------------------------------

// A container with raised or lowered bevels and a centred caption.
class TPanel : public TWinControl {
public:
    explicit TPanel(TComponent* AOwner);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut Value);

private:
    void ApplyBevels();

    std::string caption_;
    TBevelCut bevelOuter_ = bvRaised;
    TBevelCut bevelInner_ = bvNone;
};

// ---- TSpeedButton -------------------------------------------------------------------------

// A button that never takes the focus, showing a glyph, a caption or both. The glyph's
// bottom-left pixel colour is transparent.
class TSpeedButton : public TWinControl {
public:
    explicit TSpeedButton(TComponent* AOwner);
    ~TSpeedButton() override;

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& Value);
    // A flat button shows its edge only under the mouse.
    bool Flat() const { return flat_; }
    void SetFlat(bool Value);
    TBitmap* Glyph() const { return glyph_.get(); }
    void SetGlyph(TBitmap* Value);

    using TWinControl::Click;

private:
    void GlyphChanged();

    std::string caption_;
    bool flat_ = false;
    std::unique_ptr<TBitmap> glyph_;
};

// ---- TImage -------------------------------------------------------------------------------

// A picture held as a bitmap. LoadFromFile reads JPEG files (by their extension) with
// libjpeg and the other formats through TBitmap; a failure raises and keeps the old
// picture.
class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;

    TBitmap* Bitmap() const { return bitmap_.get(); }
    void LoadFromFile(const std::string& FileName);
    void Assign(TPersistent* Source) override;
    int Width() const;
    int Height() const;

    TNotifyEvent OnChange;

private:
    void Changed();

    std::unique_ptr<TBitmap> bitmap_;
};

// Shows its picture at the top-left corner.
class TImage : public TWinControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;

    TPicture* Picture() const { return picture_.get(); }
    void SetPicture(TPicture* Value) { picture_->Assign(Value); }

private:
    void PictureChanged(TObject* Sender);

    std::unique_ptr<TPicture> picture_;
};

// ---- TSplitter ----------------------------------------------------------------------------

// Dragged with the mouse, resizes the control aligned on the same side just before it,
// live, keeping that control and the space left over at least MinSize pixels.
class TSplitter : public TWinControl {
public:
    explicit TSplitter(TComponent* AOwner);

    int MinSize() const { return minSize_; }
    void SetMinSize(int Value) { minSize_ = Value < 1 ? 1 : Value; }

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    // A splitter cursor follows the alignment: left-right or up-down.
    void WMSetCursor(TWMSetCursor& Message) override;

private:
    TControl* FindResized() const;
    bool Horizontal() const { return Align() == alLeft || Align() == alRight; }
    int FreeSpace() const;

    int minSize_ = 30;
    TControl* resized_ = nullptr;
    int startMouse_ = 0;
    int startSize_ = 0;
    int maxSize_ = 0;
};

// ---- TColorBox ----------------------------------------------------------------------------

// A drop-down list of colours with swatches: "Custom..." (opens the colour dialog), then
// "Default" (clDefault), then the 16 standard colours by name. OnSelect fires when the
// user chooses a colour, never when Selected is set from code; cancelling the colour
// dialog keeps the previous choice and fires nothing.
class TColorBox : public TWinControl {
public:
    explicit TColorBox(TComponent* AOwner);
    ~TColorBox() override;

    // The chosen colour. Setting a colour that is not listed makes it the custom entry's.
    TColor Selected() const;
    void SetSelected(TColor Value);
    int ItemIndex() const;
    int ItemCount() const;
    std::string ItemText(int Index) const;
    TColor Colors(int Index) const;

    TNotifyEvent OnSelect;

private:
    void UserChose(int Index);
    void SetCustomColor(TColor Value);

    int lastIndex_ = -1;
};
