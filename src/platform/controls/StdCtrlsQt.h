// Platform-internal helpers of the standard controls: the hosted widget, texts across
// the Qt boundary, and guarded signal handlers.
#pragma once

#include "platform/runtime/Classes.h"
#include "platform/runtime/CodePages.h"
#include "platform/window/ControlsQt.h"
#include "platform/window/Guarded.h"

#include <QObject>
#include <QString>

#include <string>

// The native widget a standard control hosts, as the class it made.
template <class W>
W* HostedAs(const TControl* control)
{
    return static_cast<W*>(control->Window()->Hosted());
}

// The user's ANSI bytes (edit boxes, memos, list rows) to a Qt string and back
// (characters the code page lacks become '?'). Captions are UTF-8 and need neither.
inline QString QAnsi(const std::string& text)
{
    return QString::fromUtf8(AnsiToUtf8(text));
}

inline std::string AnsiOf(const QString& text)
{
    return Utf8ToAnsi(text.toStdString());
}

// Connects a widget's signal to control code run through CallGuarded, so that an
// exception reaches the application's handler instead of Qt's event loop.
template <class Sender, class Signal, class F>
void ConnectGuarded(Sender* sender, Signal signal, TObject* control, F&& action)
{
    QObject::connect(sender, signal, sender, [control, action](auto&&... args) {
        CallGuarded(control, [&] { action(args...); });
    });
}
