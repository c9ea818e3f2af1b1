// Panels, speed buttons and pictures over QLabel and QToolButton.
#include "platform/controls/ExtCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/graphics/Jpeg.h"
#include "platform/window/ControlsQt.h"

#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QToolButton>

namespace {

// The glyph with its transparent colour (the bottom-left pixel) cleared.
QPixmap GlyphPixmap(TBitmap* glyph)
{
    QImage image = glyph->Image().Pixels().convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (row[x] == transparent)
                row[x] = 0;
    }
    return QPixmap::fromImage(image);
}

}  // namespace

// ---- TPanel -------------------------------------------------------------------------------

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* panel = new QLabel;
    panel->setTextFormat(Qt::PlainText);
    panel->setAlignment(Qt::AlignCenter);
    panel->setAutoFillBackground(true);
    panel->setFocusPolicy(Qt::NoFocus);
    Window()->HostWidget(panel);
    ApplyBevels();
    SetBounds(0, 0, 185, 41);
}

void TPanel::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QLabel>(this)->setText(QString::fromUtf8(Value));
}

void TPanel::SetBevelOuter(TBevelCut Value)
{
    bevelOuter_ = Value;
    ApplyBevels();
}

void TPanel::SetBevelInner(TBevelCut Value)
{
    bevelInner_ = Value;
    ApplyBevels();
}

void TPanel::ApplyBevels()
{
    auto* panel = HostedAs<QLabel>(this);
    const int bevels = (bevelOuter_ != bvNone ? 1 : 0) + (bevelInner_ != bvNone ? 1 : 0);
    if (bevels == 0) {
        panel->setFrameStyle(QFrame::NoFrame);
        return;
    }
    const TBevelCut shown = bevelOuter_ != bvNone ? bevelOuter_ : bevelInner_;
    panel->setFrameStyle(QFrame::Panel | (shown == bvLowered ? QFrame::Sunken : QFrame::Raised));
    panel->setLineWidth(bevels);
}

// ---- TSpeedButton ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TWinControl(AOwner), glyph_(std::make_unique<TBitmap>())
{
    auto* button = new QToolButton;
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    Window()->HostWidget(button);
    ConnectGuarded(button, &QToolButton::clicked, this, [this](bool) { Click(); });
    SetBounds(0, 0, 23, 22);
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QToolButton>(this)->setText(QString::fromUtf8(Value));
    GlyphChanged();
}

void TSpeedButton::SetFlat(bool Value)
{
    flat_ = Value;
    HostedAs<QToolButton>(this)->setAutoRaise(Value);
}

void TSpeedButton::SetGlyph(TBitmap* Value)
{
    glyph_->Assign(Value);
    GlyphChanged();
}

void TSpeedButton::GlyphChanged()
{
    auto* button = HostedAs<QToolButton>(this);
    if (glyph_->Empty()) {
        button->setIcon(QIcon());
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        return;
    }
    const QPixmap pixmap = GlyphPixmap(glyph_.get());
    button->setIcon(QIcon(pixmap));
    button->setIconSize(pixmap.size());
    button->setToolButtonStyle(caption_.empty() ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
}

// ---- TPicture -------------------------------------------------------------------------------

TPicture::TPicture() : bitmap_(std::make_unique<TBitmap>()) {}

TPicture::~TPicture() = default;

void TPicture::LoadFromFile(const std::string& FileName)
{
    // Decoded into a bitmap of its own first: a failure keeps the old picture.
    TBitmap loaded;
    if (IsJpegFileName(FileName))
        LoadJpegFromFile(FileName, &loaded);
    else
        loaded.LoadFromFile(FileName);
    bitmap_->Assign(&loaded);
    Changed();
}

void TPicture::Assign(TPersistent* Source)
{
    if (auto* picture = dynamic_cast<TPicture*>(Source))
        bitmap_->Assign(picture->Bitmap());
    else
        bitmap_->Assign(Source);
    Changed();
}

int TPicture::Width() const
{
    return bitmap_->GetWidth();
}

int TPicture::Height() const
{
    return bitmap_->GetHeight();
}

void TPicture::Changed()
{
    if (OnChange)
        OnChange(this);
}

// ---- TImage ---------------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TWinControl(AOwner), picture_(std::make_unique<TPicture>())
{
    auto* label = new QLabel;
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFocusPolicy(Qt::NoFocus);
    Window()->HostWidget(label);
    picture_->OnChange = TNotifyEvent(this, &TImage::PictureChanged);
    SetBounds(0, 0, 105, 105);
}

TImage::~TImage()
{
    picture_->OnChange = nullptr;
}

void TImage::PictureChanged(TObject*)
{
    TBitmap* bitmap = picture_->Bitmap();
    auto* label = HostedAs<QLabel>(this);
    if (bitmap->Empty())
        label->clear();
    else
        label->setPixmap(QPixmap::fromImage(bitmap->Image().Pixels()));
}
