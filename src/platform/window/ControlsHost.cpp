// Hosting a native widget as a control's client area: placement, focus, look, and the
// classic key route in front of the widget's own key handling.
#include "platform/window/ControlsQt.h"

#include "platform/graphics/FontResolve.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/window/Guarded.h"

#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>

#include <cstdlib>

namespace {

int hostedLookPushes = 0;

}  // namespace

// Watches the hosted widget: keys take the classic route first, focus changes become
// WM_SETFOCUS/WM_KILLFOCUS, key releases WM_KEYUP.
class QvHostFilter final : public QObject {
public:
    QvHostFilter(TControlWindow* window, QObject* parent) : QObject(parent), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        TWinControl* control = window_->WinControl();
        auto* widget = qobject_cast<QWidget*>(watched);
        // The look that waited goes before the widget is first seen.
        if (e->type() == QEvent::Show && widget != nullptr && widget == window_->Hosted())
            window_->PushHostedLook();
        // Keys and focus reach the proxy first; they pass the widget behind it unrouted.
        if (control == nullptr || widget == nullptr || widget->focusProxy() != nullptr)
            return false;
        switch (e->type()) {
        case QEvent::KeyPress:
            return RouteHostedKey(control, static_cast<QKeyEvent*>(e));
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(e);
            NoteKeyboardModifiers(key->modifiers());
            const TKeyInput in = ReadKeyEvent(*key);
            if (in.Key == 0 || key->isAutoRepeat())
                return false;
            NoteKeyState(in.Key, false);
            TMessage up{static_cast<UINT>(in.SystemKey ? WM_SYSKEYUP : WM_KEYUP), in.Key, 0, 0};
            CallGuarded(control, [&] { control->WndProc(up); });
            return up.WParam == 0;
        }
        case QEvent::FocusIn:
            window_->Client()->focusInEvent(static_cast<QFocusEvent*>(e));
            return false;
        case QEvent::FocusOut:
            window_->Client()->focusOutEvent(static_cast<QFocusEvent*>(e));
            return false;
        default:
            return false;
        }
    }

private:
    TControlWindow* window_;
};

void TControlWindow::HostWidget(QWidget* widget)
{
    if (hosted_ != nullptr)
        throw EInvalidOperation("A control hosts one widget only");
    hosted_ = widget;
    widget->setParent(client_);
    widget->installEventFilter(new QvHostFilter(this, widget));
    // The widget takes the focus for the control; the client itself never does. (Set
    // before the proxy: a policy set on the client afterwards would pass to the widget.)
    client_->setFocusPolicy(Qt::NoFocus);
    client_->setFocusProxy(widget);
    widget->setGeometry(0, 0, client_->width(), client_->height());
    widget->show();
    TWinControl* control = WinControl();
    ApplyHostedTabStop(control != nullptr && control->TabStop());
    ApplyHostedLook();
}

void TControlWindow::WatchHostedPart(QWidget* part)
{
    part->installEventFilter(new QvHostFilter(this, part));
}

void TControlWindow::ApplyHostedTabStop(bool tabStop)
{
    if (hosted_ == nullptr)
        return;
    if (hosted_->focusPolicy() != Qt::NoFocus)
        hosted_->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TControlWindow::ApplyHostedLook()
{
    if (hosted_ == nullptr || control_ == nullptr)
        return;
    if (control_->Cursor() == crDefault)
        hosted_->unsetCursor();
    else
        hosted_->setCursor(QtCursorShape(control_->Cursor()));
    hostedLookPending_ = true;
    if (hosted_->isVisible())
        PushHostedLook();
}

void TControlWindow::PushHostedLook()
{
    if (!hostedLookPending_ || hosted_ == nullptr || control_ == nullptr)
        return;
    hostedLookPending_ = false;
    ++hostedLookPushes;
    const TFont* font = control_->Font();
    QFont qfont(QString::fromUtf8(ResolveFaceName(font->GetName())));
    qfont.setPixelSize(std::max(1, std::abs(font->GetHeight())));
    const TFontStyles style = font->GetStyle();
    qfont.setBold(style.Contains(fsBold));
    qfont.setItalic(style.Contains(fsItalic));
    qfont.setUnderline(style.Contains(fsUnderline));
    qfont.setStrikeOut(style.Contains(fsStrikeOut));
    hosted_->setFont(qfont);
    // The disabled colours stay the style's, so a disabled control still looks it.
    QPalette palette = hosted_->palette();
    const QColor text = QColorFromColor(font->GetColor());
    const QColor window = QColorFromColor(control_->Color());
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Window, window);
    }
    hosted_->setPalette(palette);
}

int HostedLookPushCount()
{
    return hostedLookPushes;
}
