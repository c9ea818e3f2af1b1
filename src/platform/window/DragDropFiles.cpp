// Files dropped from the desktop: Qt's drop events on a window that accepts files become
// WM_DROPFILES with a drop handle.
#include "platform/window/DragDrop.h"

#include "platform/window/Controls.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QDropEvent>
#include <QMimeData>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string_view>
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

bool SameLetters(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    const int lower = std::tolower(static_cast<unsigned char>(c));
    return lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
}

// Each %XX as the byte it stands for; a '%' not followed by two hex digits stays.
std::string PercentDecoded(std::string_view text)
{
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int high = text[i] == '%' && i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
        const int low = high >= 0 ? HexDigit(text[i + 2]) : -1;
        if (low < 0) {
            bytes += text[i];
            continue;
        }
        bytes += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return bytes;
}

// The name of the file of this machine a file address names: the bytes its percent-
// encoding stands for, which need not be UTF-8. Nothing for another kind of address, or
// for a file of another host (an address whose host is neither empty nor "localhost").
std::optional<std::string> LocalFileName(std::string_view address)
{
    constexpr std::string_view scheme = "file:";
    if (!SameLetters(address.substr(0, scheme.size()), scheme))
        return std::nullopt;
    std::string_view rest = address.substr(scheme.size());
    if (rest.starts_with("//")) {
        const std::size_t slash = rest.find('/', 2);
        const std::string_view host = rest.substr(2, slash == std::string_view::npos ? slash : slash - 2);
        if (slash == std::string_view::npos || (!host.empty() && !SameLetters(host, "localhost")))
            return std::nullopt;
        rest = rest.substr(slash);
    }
    if (!rest.starts_with('/'))
        return std::nullopt;
    return PercentDecoded(rest.substr(0, rest.find_first_of("?#")));
}

// The local files of a drop, from the address list's own bytes: a name made into a string
// of characters on the way would lose the bytes that are not UTF-8.
std::vector<std::string> LocalFileNames(const QMimeData* data)
{
    std::vector<std::string> names;
    if (data == nullptr || !data->hasUrls())
        return names;
    QByteArray list = data->data(QStringLiteral("text/uri-list"));
    // Some programs end the list with a NUL byte.
    if (const qsizetype end = list.indexOf('\0'); end >= 0)
        list.truncate(end);
    for (const QByteArray& line : list.split('\n')) {
        const QByteArray address = line.trimmed();
        if (address.isEmpty() || address.startsWith('#'))
            continue;
        if (std::optional<std::string> name = LocalFileName(std::string_view(address.constData(), address.size())))
            names.push_back(std::move(*name));
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
