#include "RealWindow.h"

#include "platform/window/ControlsQt.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPaintEvent>
#include <QPixmap>
#include <QScreen>
#include <QStyleHints>
#include <QThread>

#include <cstdlib>
#include <vector>

namespace QvTest {
namespace {

bool Run(const std::string& Command)
{
    return std::system((Command + " >/dev/null 2>&1").c_str()) == 0;
}

std::string Quoted(const std::string& Text)
{
    std::string quoted = "'";
    for (char c : Text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

long long NowMs()
{
    return QDateTime::currentMSecsSinceEpoch();
}

void Idle(int Milliseconds)
{
    IdleUntil([] { return false; }, Milliseconds);
}

bool IdleUntil(const std::function<bool()>& Done, int Milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (!Done() && clock.elapsed() < Milliseconds) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return Done();
}

bool FocusWindowOf(TWinControl& Control)
{
    QWidget* window = Control.Window()->Frame()->window();
    window->activateWindow();
    const auto id = static_cast<unsigned long>(window->winId());
    if (!Run("xdotool windowfocus --sync " + std::to_string(id)))
        return false;
    return IdleUntil([window] { return window->isActiveWindow(); });
}

int StaleClientPixels(TWinControl& Control)
{
    QWidget* client = Control.Window()->Client();
    const QPoint at = client->mapTo(client->window(), QPoint(0, 0));
    const QImage screen = client->screen()
                              ->grabWindow(client->window()->winId(), at.x(), at.y(), client->width(),
                                           client->height())
                              .toImage()
                              .convertToFormat(QImage::Format_RGB32);
    const QImage fresh = client->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (screen.size() != fresh.size() || screen.isNull())
        return -1;
    int n = 0;
    for (int y = 0; y < screen.height(); ++y)
        for (int x = 0; x < screen.width(); ++x)
            n += screen.pixel(x, y) != fresh.pixel(x, y) ? 1 : 0;
    return n;
}

bool XKeys(const std::string& Keys)
{
    return Run("xdotool key --delay 20 " + Keys);
}

bool XType(const std::string& Text)
{
    return Run("xdotool type --delay 20 " + Quoted(Text));
}

class TPaintRecorder::TFilter : public QObject {
public:
    explicit TFilter(QWidget* Widget) : widget_(Widget) { widget_->installEventFilter(this); }
    ~TFilter() override { widget_->removeEventFilter(this); }

    std::vector<QRegion> Regions;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Watched == widget_ && Event->type() == QEvent::Paint)
            Regions.push_back(static_cast<QPaintEvent*>(Event)->region());
        return false;
    }

private:
    QWidget* widget_;
};

TPaintRecorder::TPaintRecorder(TWinControl& Control)
    : filter_(std::make_unique<TFilter>(Control.Window()->Client()))
{
}

TPaintRecorder::~TPaintRecorder() = default;

int TPaintRecorder::Count() const
{
    return static_cast<int>(filter_->Regions.size());
}

int TPaintRecorder::PaintsOutside(const TRect& Allowed) const
{
    const QRegion allowed(QRect(Allowed.Left, Allowed.Top, Allowed.Width(), Allowed.Height()));
    int n = 0;
    for (const QRegion& region : filter_->Regions)
        n += region.subtracted(allowed).isEmpty() ? 0 : 1;
    return n;
}

TRect CaretRect(TWinControl& Control)
{
    const QRect r = CaretRectOf(&Control);
    return r.isEmpty() ? TRect{} : TRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

TSteadyCaret::TSteadyCaret() : savedFlashTime_(QGuiApplication::styleHints()->cursorFlashTime())
{
    QGuiApplication::styleHints()->setCursorFlashTime(0);
}

TSteadyCaret::~TSteadyCaret()
{
    QGuiApplication::styleHints()->setCursorFlashTime(savedFlashTime_);
}

}  // namespace QvTest
