// Colour conversion between the 0x00BBGGRR values and Qt, and system colours read from
// the application palette.
#include "platform/graphics/GraphicsQt.h"

#include <QGuiApplication>
#include <QPalette>

namespace {

struct TPaletteEntry {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The palette entry that plays the part of each system colour index.
constexpr TPaletteEntry kSystemColorRoles[SystemColorCount] = {
    {QPalette::Active, QPalette::Button},             // clScrollBar
    {QPalette::Active, QPalette::Window},             // clBackground
    {QPalette::Active, QPalette::Highlight},          // clActiveCaption
    {QPalette::Inactive, QPalette::Highlight},        // clInactiveCaption
    {QPalette::Active, QPalette::Window},             // clMenu
    {QPalette::Active, QPalette::Base},               // clWindow
    {QPalette::Active, QPalette::WindowText},         // clWindowFrame
    {QPalette::Active, QPalette::WindowText},         // clMenuText
    {QPalette::Active, QPalette::Text},               // clWindowText
    {QPalette::Active, QPalette::HighlightedText},    // clCaptionText
    {QPalette::Active, QPalette::Window},             // clActiveBorder
    {QPalette::Inactive, QPalette::Window},           // clInactiveBorder
    {QPalette::Active, QPalette::Mid},                // clAppWorkSpace
    {QPalette::Active, QPalette::Highlight},          // clHighlight
    {QPalette::Active, QPalette::HighlightedText},    // clHighlightText
    {QPalette::Active, QPalette::Button},             // clBtnFace
    {QPalette::Active, QPalette::Dark},               // clBtnShadow
    {QPalette::Disabled, QPalette::Text},             // clGrayText
    {QPalette::Active, QPalette::ButtonText},         // clBtnText
    {QPalette::Inactive, QPalette::HighlightedText},  // clInactiveCaptionText
    {QPalette::Active, QPalette::Light},              // clBtnHighlight
    {QPalette::Active, QPalette::Shadow},             // cl3DDkShadow
    {QPalette::Active, QPalette::Midlight},           // cl3DLight
    {QPalette::Active, QPalette::ToolTipText},        // clInfoText
    {QPalette::Active, QPalette::ToolTipBase},        // clInfoBk
};

TColor PaletteColor(int index)
{
    if (index < 0 || index >= SystemColorCount || QGuiApplication::instance() == nullptr)
        return DefaultSystemColor(index);
    const TPaletteEntry& entry = kSystemColorRoles[index];
    const QColor c = QGuiApplication::palette().color(entry.Group, entry.Role);
    return RGB(static_cast<Byte>(c.red()), static_cast<Byte>(c.green()),
               static_cast<Byte>(c.blue()));
}

}  // namespace

void InstallQtSystemColors()
{
    SetSystemColorResolver(&PaletteColor);
}

QColor QColorFromRef(COLORREF color)
{
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

QColor QColorFromColor(TColor color)
{
    return QColorFromRef(static_cast<COLORREF>(ColorToRGB(color)));
}

COLORREF ColorRefFromQColor(const QColor& color)
{
    return static_cast<COLORREF>(color.red()) | (static_cast<COLORREF>(color.green()) << 8) |
           (static_cast<COLORREF>(color.blue()) << 16);
}
