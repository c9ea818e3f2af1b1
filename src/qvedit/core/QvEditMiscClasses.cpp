// The selection colours and the bookmark options.
#include "qvedit/core/QvEditMiscClasses.h"

// ---- TQvSelectedColor -----------------------------------------------------------------

void TQvSelectedColor::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TQvSelectedColor*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    background_ = src->background_;
    foreground_ = src->foreground_;
    Changed();
}

void TQvSelectedColor::SetBackground(TColor Value)
{
    if (Value == background_)
        return;
    background_ = Value;
    Changed();
}

void TQvSelectedColor::SetForeground(TColor Value)
{
    if (Value == foreground_)
        return;
    foreground_ = Value;
    Changed();
}

void TQvSelectedColor::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TQvBookMarkOpt -------------------------------------------------------------------

class TQvBookMarkOpt::TImagesWatch : public TComponent {
public:
    explicit TImagesWatch(TQvBookMarkOpt& Options) : TComponent(nullptr), options_(Options) {}

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override
    {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == options_.bookmarkImages_)
            options_.SetBookmarkImages(nullptr);
    }

private:
    TQvBookMarkOpt& options_;
};

TQvBookMarkOpt::TQvBookMarkOpt(TComponent* AOwner)
    : owner_(AOwner), imagesWatch_(std::make_unique<TImagesWatch>(*this))
{
}

// The watch dies with the options, and with it the image list's notice request.
TQvBookMarkOpt::~TQvBookMarkOpt() = default;

void TQvBookMarkOpt::Assign(TPersistent* Source)
{
    auto* src = dynamic_cast<TQvBookMarkOpt*>(Source);
    if (src == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    WatchImages(src->bookmarkImages_);
    drawBookmarksFirst_ = src->drawBookmarksFirst_;
    enableKeys_ = src->enableKeys_;
    glyphsVisible_ = src->glyphsVisible_;
    leftMargin_ = src->leftMargin_;
    xoffset_ = src->xoffset_;
    Changed();
}

void TQvBookMarkOpt::SetBookmarkImages(TImageList* Value)
{
    if (Value == bookmarkImages_)
        return;
    WatchImages(Value);
    Changed();
}

void TQvBookMarkOpt::WatchImages(TImageList* Value)
{
    if (bookmarkImages_ != nullptr)
        bookmarkImages_->RemoveFreeNotification(imagesWatch_.get());
    bookmarkImages_ = Value;
    if (Value != nullptr)
        Value->FreeNotification(imagesWatch_.get());
}
void TQvBookMarkOpt::SetDrawBookmarksFirst(bool Value) { Store(drawBookmarksFirst_, Value); }
void TQvBookMarkOpt::SetEnableKeys(bool Value) { Store(enableKeys_, Value); }
void TQvBookMarkOpt::SetGlyphsVisible(bool Value) { Store(glyphsVisible_, Value); }
void TQvBookMarkOpt::SetLeftMargin(Integer Value) { Store(leftMargin_, Value); }
void TQvBookMarkOpt::SetXoffset(Integer Value) { Store(xoffset_, Value); }

void TQvBookMarkOpt::Changed()
{
    if (OnChange)
        OnChange(this);
}

template <class T>
void TQvBookMarkOpt::Store(T& field, T value)
{
    if (field == value)
        return;
    field = value;
    Changed();
}
