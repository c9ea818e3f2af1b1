// Message boxes and the modal hook.
#include "platform/forms/Dialogs.h"

#include "platform/runtime/CodePages.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <utility>

namespace {

TModalHook& Hook()
{
    static TModalHook hook;
    return hook;
}

QString UiText(const std::string& text)
{
    const QString utf8 = QString::fromUtf8(text);
    // Text that is not UTF-8 (such as a message carrying a file name of the ANSI code
    // page) is read in the ANSI code page rather than shown with replacement marks.
    if (utf8.toUtf8() == QByteArray::fromStdString(text))
        return utf8;
    return QString::fromStdString(AnsiToUtf8(text));
}

QMessageBox::Icon IconOf(UINT flags)
{
    switch (flags & MB_ICONMASK) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct TButtonChoice {
    QMessageBox::StandardButton Button;
    int Answer;
};

std::vector<TButtonChoice> ButtonsOf(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNOCANCEL: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    case MB_YESNO: return {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    default: return {{QMessageBox::Ok, IDOK}};
    }
}

// What closing the box without a button means.
int EscapeAnswer(UINT flags)
{
    switch (flags & MB_TYPEMASK) {
    case MB_OKCANCEL:
    case MB_YESNOCANCEL: return IDCANCEL;
    case MB_YESNO: return IDNO;
    default: return IDOK;
    }
}

}  // namespace

TModalHook SetModalHook(TModalHook NewHook)
{
    return std::exchange(Hook(), std::move(NewHook));
}

bool AskModalHook(const TModalRequest& Request, int& Answer)
{
    if (!Hook())
        return false;
    // The hook may replace itself while it runs; call a copy.
    const TModalHook hook = Hook();
    Answer = hook(Request);
    return true;
}

int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags)
{
    TModalRequest request;
    request.Kind = TModalKind::MessageBox;
    request.Caption = UiText(Caption).toStdString();
    request.Text = UiText(Text).toStdString();
    request.Flags = Flags;
    // A modal box cancels whatever the mouse was doing (a capture, a drag), scripted
    // or not.
    if (TControl* captured = GetCaptureControl())
        captured->Perform(WM_CANCELMODE, 0, 0);
    int answer = 0;
    if (AskModalHook(request, answer))
        return answer;

    QMessageBox box(IconOf(Flags), UiText(Caption), UiText(Text), QMessageBox::NoButton,
                    QApplication::activeWindow());
    const std::vector<TButtonChoice> buttons = ButtonsOf(Flags);
    const std::size_t defaultIndex = (Flags & MB_DEFMASK) >> 8;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box.addButton(buttons[i].Button);
        if (i == defaultIndex)
            box.setDefaultButton(button);
    }
    box.exec();
    const QAbstractButton* clicked = box.clickedButton();
    for (const TButtonChoice& choice : buttons)
        if (clicked != nullptr && clicked == box.button(choice.Button))
            return choice.Answer;
    return EscapeAnswer(Flags);
}
