// The colour box: a drop-down list of named colours with swatches and a custom entry
// chosen through the colour dialog.
#include "platform/controls/ExtCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/forms/CommonDialogs.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"

#include <QComboBox>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSignalBlocker>

#include <array>

namespace {

struct TNamedColor {
    TColor Color;
    const char* Name;
};

constexpr std::array<TNamedColor, 16> kStandardColors{{
    {clBlack, "Black"}, {clMaroon, "Maroon"}, {clGreen, "Green"},   {clOlive, "Olive"},
    {clNavy, "Navy"},   {clPurple, "Purple"}, {clTeal, "Teal"},     {clGray, "Gray"},
    {clSilver, "Silver"}, {clRed, "Red"},     {clLime, "Lime"},     {clYellow, "Yellow"},
    {clBlue, "Blue"},   {clFuchsia, "Fuchsia"}, {clAqua, "Aqua"},   {clWhite, "White"},
}};

constexpr int kCustomIndex = 0;
constexpr int kDefaultIndex = 1;
constexpr int kColorRole = Qt::UserRole;
// The swatch of the Default entry: the colour of a window's text.
constexpr TColor kDefaultSwatch = clWindowText;

QComboBox* Combo(const TControl* control)
{
    return HostedAs<QComboBox>(control);
}

QIcon Swatch(TColor color)
{
    QPixmap pixmap(16, 12);
    pixmap.fill(QColorFromColor(color == clDefault ? kDefaultSwatch : color));
    QPainter painter(&pixmap);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, pixmap.width() - 1, pixmap.height() - 1);
    return QIcon(pixmap);
}

void AddEntry(QComboBox* combo, const char* name, TColor color)
{
    combo->addItem(Swatch(color), QString::fromUtf8(name), QVariant::fromValue<qint64>(color));
}

}  // namespace

TColorBox::TColorBox(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* combo = new QComboBox;
    AddEntry(combo, "Custom...", clBlack);
    AddEntry(combo, "Default", clDefault);
    for (const TNamedColor& named : kStandardColors)
        AddEntry(combo, named.Name, named.Color);
    Window()->HostWidget(combo);
    SetTabStop(true);
    SetColor(clWindow);
    ConnectGuarded(combo, &QComboBox::activated, this, [this](int index) { UserChose(index); });
    SetSelected(clBlack);
    SetBounds(0, 0, 145, 22);
}

TColorBox::~TColorBox() = default;

int TColorBox::ItemCount() const
{
    return Combo(this)->count();
}

std::string TColorBox::ItemText(int Index) const
{
    if (Index < 0 || Index >= ItemCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return Combo(this)->itemText(Index).toStdString();
}

TColor TColorBox::Colors(int Index) const
{
    if (Index < 0 || Index >= ItemCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return static_cast<TColor>(Combo(this)->itemData(Index, kColorRole).toLongLong());
}

int TColorBox::ItemIndex() const
{
    return Combo(this)->currentIndex();
}

TColor TColorBox::Selected() const
{
    const int index = ItemIndex();
    return index < 0 ? clBlack : Colors(index);
}

void TColorBox::SetSelected(TColor Value)
{
    QComboBox* combo = Combo(this);
    int found = -1;
    for (int i = kDefaultIndex; i < combo->count() && found < 0; ++i)
        if (Colors(i) == Value)
            found = i;
    if (found < 0) {
        SetCustomColor(Value);
        found = kCustomIndex;
    }
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(found);
    lastIndex_ = found;
}

void TColorBox::SetCustomColor(TColor Value)
{
    QComboBox* combo = Combo(this);
    combo->setItemData(kCustomIndex, QVariant::fromValue<qint64>(Value), kColorRole);
    combo->setItemIcon(kCustomIndex, Swatch(Value));
}

void TColorBox::UserChose(int Index)
{
    if (Index == kCustomIndex) {
        TColorDialog dialog(nullptr);
        dialog.SetColor(Colors(kCustomIndex));
        if (!dialog.Execute()) {
            // Cancelled: the earlier choice stands and nothing was selected.
            const QSignalBlocker quiet(Combo(this));
            Combo(this)->setCurrentIndex(lastIndex_);
            return;
        }
        SetCustomColor(dialog.GetColor());
    }
    lastIndex_ = Index;
    if (OnSelect)
        OnSelect(this);
}
