// Files dropped from the desktop: Qt's drop events on a window that accepts files become
// WM_DROPFILES with a drop handle.
#include "platform/window/DragDrop.h"

#include "platform/window/Controls.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <memory>
#include <unordered_set>
#include <vector>

struct HDROP__ {
    std::vector<std::string> Names;  // full names, in the order they were dropped
    TPoint Point;                    // client coordinates of the window dropped on
    bool InClient = false;
};

namespace {

// The handles given out and not yet finished.
std::unordered_set<HDROP>& LiveDrops()
{
    static std::unordered_set<HDROP> drops;
    return drops;
}

HDROP Alive(HDROP drop)
{
    return drop != nullptr && LiveDrops().contains(drop) ? drop : nullptr;
}

std::vector<std::string> LocalFileNames(const QMimeData* data)
{
    std::vector<std::string> names;
    if (data == nullptr)
        return names;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        const QByteArray name = QFile::encodeName(url.toLocalFile());
        names.emplace_back(name.constData(), static_cast<std::size_t>(name.size()));
    }
    return names;
}

// Watches the client widgets of windows that accept files.
class TFileDropFilter final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static void Drop(QWidget* client, QDropEvent* event);
};

TFileDropFilter& FileDropFilter()
{
    static TFileDropFilter filter;
    return filter;
}

bool TFileDropFilter::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (LocalFileNames(drag->mimeData()).empty())
            drag->ignore();
        else
            drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop:
        Drop(static_cast<QWidget*>(watched), static_cast<QDropEvent*>(event));
        return true;
    default:
        return false;
    }
}

void TFileDropFilter::Drop(QWidget* client, QDropEvent* event)
{
    std::vector<std::string> names = LocalFileNames(event->mimeData());
    TControl* control = ControlOfWidget(client);
    if (names.empty() || control == nullptr || control->HasState(csDestroying)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const QPoint point = event->position().toPoint();
    CallGuarded(control, [&] { DropFilesOn(control, std::move(names), {point.x(), point.y()}); });
}

}  // namespace

void DragAcceptFiles(HWND Wnd, BOOL Accept)
{
    TWinControl* control = FindControl(Wnd);
    if (control == nullptr)
        return;
    QWidget* client = control->Window()->Client();
    client->setAcceptDrops(Accept != FALSE);
    if (Accept != FALSE)
        client->installEventFilter(&FileDropFilter());
    else
        client->removeEventFilter(&FileDropFilter());
}

UINT DragQueryFile(HDROP Drop, UINT File, std::string* Name)
{
    HDROP drop = Alive(Drop);
    if (drop == nullptr)
        return 0;
    if (File == 0xFFFFFFFFu)
        return static_cast<UINT>(drop->Names.size());
    if (File >= drop->Names.size())
        return 0;
    const std::string& name = drop->Names[File];
    if (Name != nullptr)
        *Name = name;
    return static_cast<UINT>(name.size());
}

BOOL DragQueryPoint(HDROP Drop, TPoint* Point)
{
    HDROP drop = Alive(Drop);
    if (drop == nullptr)
        return FALSE;
    if (Point != nullptr)
        *Point = drop->Point;
    return drop->InClient ? TRUE : FALSE;
}

void DragFinish(HDROP Drop)
{
    if (Alive(Drop) == nullptr)
        return;
    LiveDrops().erase(Drop);
    delete Drop;
}

void DropFilesOn(TControl* Control, std::vector<std::string> Names, TPoint Point)
{
    auto drop = std::make_unique<HDROP__>();
    drop->Names = std::move(Names);
    drop->Point = Point;
    drop->InClient = PtInRect(Control->ClientRect(), Point);
    HDROP handle = drop.release();
    LiveDrops().insert(handle);
    try {
        Control->Perform(WM_DROPFILES, reinterpret_cast<WPARAM>(handle), 0);
    } catch (...) {
        DragFinish(handle);
        throw;
    }
    // A handle lives no longer than its message, whether or not the handler finished it.
    DragFinish(handle);
}
