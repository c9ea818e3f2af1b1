// System metrics and parameters, read from the desktop's settings through Qt (with the
// classic defaults when no application object exists yet).
#include "platform/window/WinApi.h"

#include <QApplication>
#include <QScreen>
#include <QStyle>
#include <QStyleHints>

namespace {

bool HaveApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

int ScrollBarExtent()
{
    return HaveApplication() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 17;
}

QSize PrimaryScreenSize()
{
    if (!HaveApplication() || QGuiApplication::primaryScreen() == nullptr)
        return QSize(1024, 768);
    return QGuiApplication::primaryScreen()->size();
}

}  // namespace

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN: return PrimaryScreenSize().width();
    case SM_CYSCREEN: return PrimaryScreenSize().height();
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
    case SM_CYVSCROLL:
    case SM_CXHSCROLL: return ScrollBarExtent();
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return 3;
    case SM_CXSIZEFRAME:
    case SM_CYSIZEFRAME: return 4;
    case SM_CXEDGE:
    case SM_CYEDGE: return 2;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
        // The desktop's double-click distance as the side of the box around the first
        // click.
        return HaveApplication() ? 2 * QGuiApplication::styleHints()->mouseDoubleClickDistance() : 4;
    case SM_CXDRAG:
    case SM_CYDRAG: return HaveApplication() ? QGuiApplication::styleHints()->startDragDistance() : 4;
    default: return 0;
    }
}

UINT GetDoubleClickTime()
{
    return HaveApplication() ? static_cast<UINT>(QGuiApplication::styleHints()->mouseDoubleClickInterval()) : 500;
}

BOOL SystemParametersInfo(UINT action, UINT, void* pvParam, UINT)
{
    if (action != SPI_GETWHEELSCROLLLINES || pvParam == nullptr)
        return FALSE;
    const int lines = HaveApplication() ? QApplication::wheelScrollLines() : 3;
    *static_cast<UINT*>(pvParam) = static_cast<UINT>(lines);
    return TRUE;
}
