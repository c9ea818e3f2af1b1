// A control for the window-layer tests: it writes what it receives, in order, to Log,
// paints itself white, and answers WM_GETDLGCODE with DialogCode. Also helpers that
// send real Qt input events to a control.
#pragma once

#include "platform/forms/Forms.h"
#include "platform/window/Controls.h"
#include "platform/window/ControlsQt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <string>
#include <vector>

class TRecordingControl : public TCustomControl {
public:
    explicit TRecordingControl(TComponent* owner) : TCustomControl(owner) { SetTabStop(true); }

    std::vector<std::string> Log;
    LRESULT DialogCode = DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS;
    bool ZeroKeyDown = false;
    std::vector<TRect> PaintClips;
    TColor PaintColor = clWhite;

    // Paints on the Qt side without the paint event (for a fresh look at the widget).
    QImage Grab() { return Window()->Client()->grab().toImage(); }

protected:
    void KeyDown(Word& key, TShiftState shift) override
    {
        Log.push_back("down " + std::to_string(key) + Shift(shift));
        if (ZeroKeyDown)
            key = 0;
        TCustomControl::KeyDown(key, shift);
    }
    void KeyUp(Word& key, TShiftState shift) override
    {
        Log.push_back("up " + std::to_string(key) + Shift(shift));
        TCustomControl::KeyUp(key, shift);
    }
    void KeyPress(char& key) override
    {
        Log.push_back("char " + std::to_string(static_cast<unsigned char>(key)));
        TCustomControl::KeyPress(key);
    }
    void WMSysChar(TWMChar& message) override
    {
        Log.push_back("syschar " + std::to_string(message.CharCode()));
        TCustomControl::WMSysChar(message);
    }
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override
    {
        Log.push_back("mousedown " + Button(button) + Shift(shift) + At(x, y) + Captured());
        TCustomControl::MouseDown(button, shift, x, y);
    }
    void MouseMove(TShiftState shift, int x, int y) override
    {
        Log.push_back("mousemove" + Shift(shift) + At(x, y));
        TCustomControl::MouseMove(shift, x, y);
    }
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override
    {
        Log.push_back("mouseup " + Button(button) + Shift(shift) + At(x, y) + Captured());
        TCustomControl::MouseUp(button, shift, x, y);
    }
    void Click() override
    {
        Log.push_back("click");
        TCustomControl::Click();
    }
    void DblClick() override
    {
        Log.push_back("dblclick" + Captured());
        TCustomControl::DblClick();
    }
    void WMGetDlgCode(TWMGetDlgCode& message) override { message.Result() = DialogCode; }
    void WMSetCursor(TWMSetCursor& message) override
    {
        Log.push_back("setcursor");
        TCustomControl::WMSetCursor(message);
    }
    void WMCaptureChanged(TWMCaptureChanged& message) override
    {
        Log.push_back("capturechanged");
        TCustomControl::WMCaptureChanged(message);
    }
    void WMSetFocus(TWMSetFocus& message) override
    {
        Log.push_back("setfocus");
        TCustomControl::WMSetFocus(message);
    }
    void WMKillFocus(TWMKillFocus& message) override
    {
        Log.push_back("killfocus");
        TCustomControl::WMKillFocus(message);
    }
    void WMVScroll(TWMScroll& message) override
    {
        Log.push_back("vscroll " + std::to_string(message.ScrollCode()) + " " + std::to_string(message.Pos()));
    }
    void WMHScroll(TWMScroll& message) override
    {
        Log.push_back("hscroll " + std::to_string(message.ScrollCode()) + " " + std::to_string(message.Pos()));
    }
    void WMMouseWheel(TWMMouseWheel& message) override
    {
        Log.push_back("wheel " + std::to_string(message.WheelDelta()));
    }
    void WMSize(TWMSize& message) override
    {
        Log.push_back("size " + std::to_string(message.Width()) + "x" + std::to_string(message.Height()));
        TCustomControl::WMSize(message);
    }
    void WMEraseBkgnd(TWMEraseBkgnd& message) override { message.Result() = 1; }
    void Paint() override
    {
        const TRect clip = Canvas()->GetClipRect();
        PaintClips.push_back(clip);
        Canvas()->GetBrush()->SetColor(PaintColor);
        Canvas()->FillRect(clip);
    }

private:
    static std::string Shift(TShiftState s)
    {
        std::string text;
        const std::pair<TShiftState, const char*> names[] = {{ssShift, " shift"}, {ssAlt, " alt"},
                                                             {ssCtrl, " ctrl"},   {ssLeft, " left"},
                                                             {ssRight, " right"}, {ssMiddle, " middle"},
                                                             {ssDouble, " double"}};
        for (const auto& [bit, name] : names)
            if (s & bit)
                text += name;
        return text;
    }
    static std::string Button(TMouseButton b) { return b == mbLeft ? "left" : b == mbRight ? "right" : "middle"; }
    static std::string At(int x, int y) { return " @" + std::to_string(x) + "," + std::to_string(y); }
    std::string Captured() const { return MouseCapture() ? " [captured]" : ""; }
};

// A shown form holding one recording control (100 x 80 at 10, 10).
struct TRecordingForm {
    TForm* Form = new TForm(nullptr);
    TRecordingControl* Control = new TRecordingControl(Form);

    TRecordingForm()
    {
        Form->SetBounds(100, 100, 300, 200);
        Control->SetParent(Form);
        Control->SetBounds(10, 10, 100, 80);
        Form->Show();
        QApplication::processEvents();
        Control->Log.clear();
    }
    ~TRecordingForm() { delete Form; }
    TRecordingForm(const TRecordingForm&) = delete;
    TRecordingForm& operator=(const TRecordingForm&) = delete;

    QWidget* Client() const { return Control->Window()->Client(); }
};

inline void SendKey(QWidget* target, int key, Qt::KeyboardModifiers mods, const QString& text = {},
                    quint32 scanCode = 0, quint32 nativeKey = 0)
{
    QKeyEvent press(QEvent::KeyPress, key, mods, scanCode, nativeKey, 0, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, scanCode, nativeKey, 0, text);
    QApplication::sendEvent(target, &release);
}

inline void SendMouse(QWidget* target, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons buttons,
                      QPoint pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QMouseEvent e(type, QPointF(pos), target->mapToGlobal(QPointF(pos)), button, buttons, mods);
    QApplication::sendEvent(target, &e);
}
