// ShellExecute over the desktop services: addresses and documents open in the desktop's
// program for them; this program's own file starts a new copy of it.
#include "platform/window/Shell.h"

#include "platform/runtime/FileCalls.h"
#include "platform/runtime/SysUtils.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

namespace {

bool RunOnDesktop(const TShellAction& action)
{
    if (action.Kind == TShellAction::StartProgram) {
        QStringList arguments;
        for (const std::string& argument : action.Arguments)
            arguments << QString::fromStdString(argument);
        return QProcess::startDetached(QFile::decodeName(action.Target.c_str()), arguments,
                                       QFile::decodeName(action.Directory.c_str()));
    }
    return QDesktopServices::openUrl(QUrl(QString::fromStdString(action.Target)));
}

TShellHandler& CurrentHandler()
{
    static TShellHandler handler = RunOnDesktop;
    return handler;
}

bool IsOpenVerb(const std::string& operation)
{
    return operation.empty() || operation == "open";
}

// An address with a scheme of two letters or more ("https:", "mailto:"), as opposed to a
// file name.
bool IsAddress(const QString& text)
{
    const QUrl url(text);
    return url.isValid() && url.scheme().size() > 1;
}

bool SameFile(const QFileInfo& a, const QFileInfo& b)
{
    const QString left = a.canonicalFilePath();
    return !left.isEmpty() && left == b.canonicalFilePath();
}

std::intptr_t Carry(const TShellAction& action)
{
    return CurrentHandler()(action) ? SE_SUCCESS : SE_ERR_ACCESSDENIED;
}

}  // namespace

std::intptr_t ShellExecute(HWND, const std::string& Operation, const std::string& File,
                           const std::string& Parameters, const std::string& Directory, int)
{
    if (!IsOpenVerb(Operation))
        return SE_ERR_NOASSOC;
    if (File.empty() || NameHoldsNul(File) || NameHoldsNul(Directory))
        return SE_ERR_FNF;
    const QString name = QFile::decodeName(File.c_str());
    QFileInfo file(name);
    if (file.isRelative() && !Directory.empty())
        file = QFileInfo(QDir(QFile::decodeName(Directory.c_str())), name);

    TShellAction action;
    if (file.exists()) {
        if (SameFile(file, QFileInfo(QFile::decodeName(ProgramPath().c_str())))) {
            action.Kind = TShellAction::StartProgram;
            action.Target = ProgramPath();
            for (const QString& argument : QProcess::splitCommand(QString::fromStdString(Parameters)))
                action.Arguments.push_back(argument.toStdString());
            action.Directory = Directory;
        } else {
            action.Target = QUrl::fromLocalFile(file.absoluteFilePath()).toString(QUrl::FullyEncoded).toStdString();
        }
        return Carry(action);
    }
    if (IsAddress(name)) {
        action.Target = QUrl(name).toString(QUrl::FullyEncoded).toStdString();
        return Carry(action);
    }
    return SE_ERR_FNF;
}

TShellHandler SetShellHandler(TShellHandler Handler)
{
    TShellHandler previous = CurrentHandler();
    CurrentHandler() = Handler ? std::move(Handler) : TShellHandler(RunOnDesktop);
    return previous;
}
