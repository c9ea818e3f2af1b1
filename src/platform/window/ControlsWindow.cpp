// The widgets behind a control: frame, client area, scroll bars and menu bar, and
// their layout.
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMouseEvent>
#include <QMenuBar>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

QvFrameWidget::QvFrameWidget(TControlWindow* window) : window_(window)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void QvFrameWidget::paintEvent(QPaintEvent*)
{
    const int border = window_->BorderWidth();
    if (border == 0)
        return;
    QPainter p(this);
    const QRect r = rect();
    const QPalette& pal = palette();
    if (border == 1) {
        p.setPen(pal.color(QPalette::WindowText));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        return;
    }
    if (border > 2) {
        // A raised frame: light on the top and left, shadow on the bottom and right, the
        // face colour between.
        p.fillRect(r, pal.color(QPalette::Button));
        p.setPen(pal.color(QPalette::Midlight));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(pal.color(QPalette::Shadow));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        const QRect inner = r.adjusted(1, 1, -1, -1);
        p.setPen(pal.color(QPalette::Light));
        p.drawLine(inner.topLeft(), inner.topRight());
        p.drawLine(inner.topLeft(), inner.bottomLeft());
        p.setPen(pal.color(QPalette::Mid));
        p.drawLine(inner.bottomLeft(), inner.bottomRight());
        p.drawLine(inner.topRight(), inner.bottomRight());
        return;
    }
    // A sunken edge: shadow on the top and left, light on the bottom and right.
    p.setPen(pal.color(QPalette::Mid));
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(pal.color(QPalette::Light));
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    const QRect inner = r.adjusted(1, 1, -1, -1);
    p.setPen(pal.color(QPalette::Shadow));
    p.drawLine(inner.topLeft(), inner.topRight());
    p.drawLine(inner.topLeft(), inner.bottomLeft());
    p.setPen(pal.color(QPalette::Midlight));
    p.drawLine(inner.bottomLeft(), inner.bottomRight());
    p.drawLine(inner.topRight(), inner.bottomRight());
}

void QvFrameWidget::resizeEvent(QResizeEvent*)
{
    TControl* control = window_->Control();
    if (control == nullptr)
        return;
    if (!window_->SettingGeometry && isWindow()) {
        CallGuarded(control, [&] {
            control->SetBounds(control->Left(), control->Top(), width(), height());
        });
        return;
    }
    window_->Layout();
}

void QvFrameWidget::moveEvent(QMoveEvent*)
{
    TControl* control = window_->Control();
    if (control == nullptr || window_->SettingGeometry || !isWindow())
        return;
    CallGuarded(control, [&] { control->SetBounds(x(), y(), control->Width(), control->Height()); });
}

void QvFrameWidget::closeEvent(QCloseEvent* e)
{
    // The window's close button: a form decides itself whether and how it closes. A
    // pop-up is closed by a press outside it.
    e->ignore();
    if (TWinControl* control = window_->WinControl())
        CallGuarded(control, [&] { control->WindowCloseRequested(); });
}

// ---- The sizing frame -------------------------------------------------------------------------

Qt::Edges QvFrameWidget::FrameEdgesAt(const QPoint& pos) const
{
    const int border = window_->BorderWidth();
    if (!window_->SizingFrame() || !isWindow() || border == 0 || !rect().contains(pos))
        return {};
    // The corners reach along the edges as far as a scroll-bar arrow, as on the desktop.
    const int corner = std::max(border, GetSystemMetrics(SM_CXVSCROLL));
    Qt::Edges edges;
    if (pos.x() < border || (pos.x() < corner && (pos.y() < border || pos.y() >= height() - border)))
        edges |= Qt::LeftEdge;
    if (pos.x() >= width() - border || (pos.x() >= width() - corner && (pos.y() < border || pos.y() >= height() - border)))
        edges |= Qt::RightEdge;
    if (pos.y() < border || (pos.y() < corner && (pos.x() < border || pos.x() >= width() - border)))
        edges |= Qt::TopEdge;
    if (pos.y() >= height() - border || (pos.y() >= height() - corner && (pos.x() < border || pos.x() >= width() - border)))
        edges |= Qt::BottomEdge;
    return edges;
}

void QvFrameWidget::mousePressEvent(QMouseEvent* e)
{
    const Qt::Edges edges = FrameEdgesAt(e->position().toPoint());
    if (e->button() != Qt::LeftButton || edges == Qt::Edges()) {
        QWidget::mousePressEvent(e);  // a pop-up closes on a press outside it
        return;
    }
    e->accept();
    resizing_ = edges;
    resizeStart_ = e->globalPosition().toPoint();
    resizeStartGeometry_ = geometry();
}

void QvFrameWidget::mouseMoveEvent(QMouseEvent* e)
{
    if (!window_->SizingFrame()) {
        QWidget::mouseMoveEvent(e);
        return;
    }
    if (resizing_ == Qt::Edges()) {
        const Qt::Edges edges = FrameEdgesAt(e->position().toPoint());
        const bool diagonal = edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge);
        const bool antiDiagonal = edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge);
        if (diagonal)
            setCursor(Qt::SizeFDiagCursor);
        else if (antiDiagonal)
            setCursor(Qt::SizeBDiagCursor);
        else if (edges & (Qt::LeftEdge | Qt::RightEdge))
            setCursor(Qt::SizeHorCursor);
        else if (edges & (Qt::TopEdge | Qt::BottomEdge))
            setCursor(Qt::SizeVerCursor);
        else
            unsetCursor();
        return;
    }
    TControl* control = window_->Control();
    if (control == nullptr)
        return;
    const QPoint d = e->globalPosition().toPoint() - resizeStart_;
    QRect g = resizeStartGeometry_;
    const int least = 2 * window_->BorderWidth();
    if (resizing_ & Qt::LeftEdge)
        g.setLeft(std::min(g.left() + d.x(), g.right() + 1 - least));
    if (resizing_ & Qt::RightEdge)
        g.setRight(std::max(g.right() + d.x(), g.left() + least - 1));
    if (resizing_ & Qt::TopEdge)
        g.setTop(std::min(g.top() + d.y(), g.bottom() + 1 - least));
    if (resizing_ & Qt::BottomEdge)
        g.setBottom(std::max(g.bottom() + d.y(), g.top() + least - 1));
    CallGuarded(control, [&] { control->SetBounds(g.x(), g.y(), g.width(), g.height()); });
}

void QvFrameWidget::mouseReleaseEvent(QMouseEvent* e)
{
    if (resizing_ == Qt::Edges()) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    e->accept();
    resizing_ = {};
}

void QvFrameWidget::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange)
        return;
    if (TWinControl* control = window_->WinControl()) {
        const Qt::WindowStates s = windowState();
        const TWindowState state = s.testFlag(Qt::WindowMinimized)   ? wsMinimized
                                   : s.testFlag(Qt::WindowMaximized) ? wsMaximized
                                                                     : wsNormal;
        CallGuarded(control, [&] { control->WindowStateChanged(state); });
    }
}

QvClientWidget::QvClientWidget(TControlWindow* window, QWidget* parent) : QWidget(parent), window_(window)
{
    // The control paints every pixel it is asked to; input comes in whole, right button
    // releases included, and mouse moves arrive without a button held.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_InputMethodEnabled);
    setMouseTracking(true);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setFocusPolicy(Qt::NoFocus);
}

// ---- TControlWindow ---------------------------------------------------------------------------

TControlWindow::TControlWindow(TControl* control)
    : control_(control), frame_(new QvFrameWidget(this)), client_(new QvClientWidget(this, frame_))
{
    frame_->hide();
    frame_->setFocusProxy(client_);
}

TControlWindow::~TControlWindow()
{
    control_ = nullptr;
    // A bar whose action freed the control still has code of its own to run: it goes
    // later, on its own and without its connections.
    if (InsideScrollBarAction()) {
        for (QScrollBar* bar : {hBar_, vBar_}) {
            if (bar == nullptr)
                continue;
            bar->disconnect();
            bar->hide();
            bar->setParent(nullptr);
            bar->deleteLater();
        }
    }
    // A hosted widget dying may still signal (a list losing its current row); the
    // handlers would call into the control, which is gone.
    if (hosted_ != nullptr) {
        hosted_->blockSignals(true);
        for (QObject* part : hosted_->findChildren<QObject*>())
            part->blockSignals(true);
    }
    delete frame_;
}

TWinControl* TControlWindow::WinControl() const
{
    return dynamic_cast<TWinControl*>(control_);
}

QScrollBar* TControlWindow::Bar(int bar)
{
    if (hBar_ == nullptr) {
        // Both bars and the corner are made together, as they are laid out together.
        hBar_ = new QScrollBar(Qt::Horizontal, frame_);
        vBar_ = new QScrollBar(Qt::Vertical, frame_);
        corner_ = new QWidget(frame_);
        hBar_->hide();
        vBar_->hide();
        corner_->hide();
        corner_->setAutoFillBackground(true);
        hBar_->setFocusPolicy(Qt::NoFocus);
        vBar_->setFocusPolicy(Qt::NoFocus);
        ConnectBar(hBar_, SB_HORZ);
        ConnectBar(vBar_, SB_VERT);
        ShowBarState(SB_HORZ);
        ShowBarState(SB_VERT);
    }
    return bar == SB_HORZ ? hBar_ : vBar_;
}

void TControlWindow::SetBorder(int width)
{
    if (border_ == width)
        return;
    border_ = width;
    Layout();
    frame_->update();
}

void TControlWindow::SetMenuBar(QMenuBar* bar)
{
    if (menuBar_ == bar)
        return;
    // The old bar may be the one whose item is being chosen right now.
    if (menuBar_ != nullptr) {
        menuBar_->hide();
        menuBar_->deleteLater();
    }
    menuBar_ = bar;
    if (bar != nullptr) {
        bar->setParent(frame_);
        bar->show();
    }
    Layout();
}

void TControlWindow::SetSizingFrame(bool value)
{
    sizingFrame_ = value;
    frame_->setMouseTracking(value);  // the frame shows where it resizes
    if (!value)
        frame_->unsetCursor();
}

QRect TControlWindow::ClientGeometry() const
{
    int width = 0;
    int height = 0;
    if (control_ != nullptr) {
        width = control_->Width();
        height = control_->Height();
    }
    QRect r(border_, border_, width - 2 * border_, height - 2 * border_);
    if (menuBar_ != nullptr)
        r.setTop(r.top() + menuBar_->sizeHint().height());
    if (vState_.Visible)
        r.setRight(r.right() - GetSystemMetrics(SM_CXVSCROLL));
    if (hState_.Visible)
        r.setBottom(r.bottom() - GetSystemMetrics(SM_CYHSCROLL));
    if (r.width() < 0)
        r.setWidth(0);
    if (r.height() < 0)
        r.setHeight(0);
    return r;
}

void TControlWindow::Layout()
{
    const QRect client = ClientGeometry();
    client_->setGeometry(client);
    if (hosted_ != nullptr)
        hosted_->setGeometry(0, 0, client.width(), client.height());
    const int barWidth = GetSystemMetrics(SM_CXVSCROLL);
    const int barHeight = GetSystemMetrics(SM_CYHSCROLL);
    if (menuBar_ != nullptr)
        menuBar_->setGeometry(border_, border_, frame_->width() - 2 * border_, menuBar_->sizeHint().height());
    if (hBar_ != nullptr || vState_.Visible || hState_.Visible) {
        Bar(SB_VERT)->setGeometry(client.right() + 1, client.top(), barWidth, client.height());
        hBar_->setGeometry(client.left(), client.bottom() + 1, client.width(), barHeight);
        corner_->setGeometry(client.right() + 1, client.bottom() + 1, barWidth, barHeight);
        vBar_->setVisible(vState_.Visible);
        hBar_->setVisible(hState_.Visible);
        corner_->setVisible(vState_.Visible && hState_.Visible);
    }

    if (client.size() == lastClientSize_)
        return;
    lastClientSize_ = client.size();
    TControl* control = control_;
    if (control == nullptr || control->HasState(csDestroying))
        return;
    auto* win = dynamic_cast<TWinControl*>(control);
    if (win == nullptr || !win->HandleAllocated())
        return;
    CallGuarded(control, [&] {
        control->Perform(WM_SIZE, SIZE_RESTORED,
                         MakeLParam(static_cast<Word>(client.width()), static_cast<Word>(client.height())));
    });
}

TControl* ControlOfWidget(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        if (auto* client = dynamic_cast<const QvClientWidget*>(w))
            return client->OwnerWindow()->Control();
        if (auto* frame = dynamic_cast<const QvFrameWidget*>(w))
            return frame->OwnerWindow()->Control();
    }
    return nullptr;
}
