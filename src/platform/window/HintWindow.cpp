// THintWindow: a frameless tool-tip window with a one-pixel border and word-wrapped text.
#include "platform/window/HintWindow.h"

#include "platform/graphics/Colors.h"
#include "platform/graphics/GraphicsQt.h"
#include "platform/window/ControlsQt.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

namespace {

// Border (1 pixel a side) and the margins around the text.
constexpr int HorizontalExtra = 6;
constexpr int VerticalExtra = 4;
constexpr int TextLeft = 2;
constexpr int TextTop = 1;

constexpr int TextFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QRect ScreenArea(const QPoint& at)
{
    QScreen* screen = QGuiApplication::screenAt(at);
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->geometry() : QRect();
}

}  // namespace

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner)
{
    SetVisible(false);
    SetColor(clInfoBk);
    QWidget* frame = Window()->Frame();
    frame->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                          Qt::WindowStaysOnTopHint);
    frame->setAttribute(Qt::WA_ShowWithoutActivating);
    frame->setFocusPolicy(Qt::NoFocus);
    Window()->Client()->setFocusPolicy(Qt::NoFocus);
}

THintWindow::~THintWindow()
{
    BeforeDestruction();
}

void THintWindow::CreateParams(TCreateParams& Params)
{
    TCustomControl::CreateParams(Params);
    Params.Style = (Params.Style & ~WS_CHILD) | WS_BORDER;
}

TRect THintWindow::CalcHintRect(int MaxWidth, const std::string& Hint)
{
    const QFontMetrics metrics(Font()->GetHandle()->Data().Font());
    const int width = MaxWidth > 0 ? MaxWidth : 0x3FFFFFFF;
    const QRect text = metrics.boundingRect(QRect(0, 0, width, 0x3FFFFFFF), TextFlags, QString::fromUtf8(Hint));
    return {0, 0, text.width() + HorizontalExtra, text.height() + VerticalExtra};
}

void THintWindow::ActivateHint(const TRect& Rect, const std::string& Hint)
{
    caption_ = Hint;
    QRect r(Rect.Left, Rect.Top, std::max(Rect.Width(), 0), std::max(Rect.Height(), 0));
    const QRect screen = ScreenArea(r.topLeft());
    if (!screen.isEmpty()) {
        if (r.right() > screen.right())
            r.moveRight(screen.right());
        if (r.bottom() > screen.bottom())
            r.moveBottom(screen.bottom());
        if (r.left() < screen.left())
            r.moveLeft(screen.left());
        if (r.top() < screen.top())
            r.moveTop(screen.top());
    }
    HandleNeeded();
    SetBounds(r.x(), r.y(), r.width(), r.height());
    SetVisible(true);
    Window()->Frame()->raise();
    Invalidate();
}

void THintWindow::ReleaseHandle()
{
    SetVisible(false);
    DestroyWnd();
}

void THintWindow::Paint()
{
    TCanvas* canvas = Canvas();
    canvas->GetBrush()->SetColor(Color());
    canvas->FillRect(ClientRect());
    HDC dc = canvas->GetHandle();
    QPainter& painter = dc->BeginOperation();
    painter.setFont(Font()->GetHandle()->Data().Font());
    painter.setPen(QColorFromColor(clInfoText));
    const QRect text(TextLeft, TextTop, ClientWidth() - 2 * TextLeft, ClientHeight() - 2 * TextTop);
    painter.drawText(text, TextFlags, QString::fromUtf8(caption_));
    painter.restore();
}
