// The one fixture of the editor tests: an offscreen editor on a shown form, with a fixed
// font and code page 1252, text set from a string, input sent as the window system sends
// it (key down, character, key up; mouse presses with their key flags), and the painted
// client area grabbed into a bitmap. TEditor may be a class derived from TQvEdit that
// opens protected operations to a test.
#pragma once

#include "platform/runtime/CodePages.h"
#include "platform/window/Controls.h"
#include "platform/forms/Forms.h"
#include "platform/graphics/Gdi.h"
#include "platform/graphics/Graphics.h"
#include "platform/window/Keys.h"
#include "platform/window/Messages.h"
#include "qvedit/editor/QvEdit.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

template <class TEditor = TQvEdit>
class TEditorFixture : public ::testing::Test {
protected:
    // The client area a new editor gets (without border and scroll bars it may be less).
    static constexpr int EditorWidth = 400;
    static constexpr int EditorHeight = 300;

    TEditorFixture() : savedCodePage_(GetACP())
    {
        SetAnsiCodePage(1252);
        form_ = new TForm(nullptr);
        form_->SetBounds(0, 0, EditorWidth + 100, EditorHeight + 100);
        editor_ = new TEditor(form_);
        TFont font;
        font.SetName("DejaVu Sans Mono");
        font.SetSize(10);
        editor_->SetFont(&font);
        editor_->SetBounds(0, 0, EditorWidth, EditorHeight);
        editor_->SetParent(form_);
        form_->Show();
    }

    ~TEditorFixture() override
    {
        SetInputShiftState(0);
        delete form_;
        SetAnsiCodePage(savedCodePage_);
    }

    TEditor& Editor() { return *editor_; }
    TForm& Form() { return *form_; }

    // Replaces the text (lines split at CR LF, LF or CR); no undo is recorded.
    void SetText(const std::string& Text) { editor_->GetLines()->SetText(Text); }

    // Outer size of the editor (border and scroll bars included).
    void SetSize(int Width, int Height) { editor_->SetBounds(0, 0, Width, Height); }

    // The buffer's lines, for comparing with a list.
    std::vector<std::string> AllLines()
    {
        std::vector<std::string> result;
        for (int i = 0; i < editor_->GetLines()->Count(); ++i)
            result.push_back(editor_->GetLines()->Get(i));
        return result;
    }

    // ---- Keys --------------------------------------------------------------------------------

    // One key as the window system sends it: WM_KEYDOWN (WM_SYSKEYDOWN with Alt and no
    // Ctrl), the character it types when there is one (WM_CHAR, or WM_SYSCHAR), WM_KEYUP.
    void Key(Word VirtKey, TShiftState Shift = 0)
    {
        SetInputShiftState(Shift);
        const bool system = (Shift & ssAlt) != 0 && (Shift & ssCtrl) == 0;
        const LPARAM data = 1 | ((Shift & ssAlt) != 0 ? KF_ALTDOWN_BIT : 0);
        editor_->Perform(system ? WM_SYSKEYDOWN : WM_KEYDOWN, VirtKey, data);
        const int typed = CharOfKey(VirtKey, Shift);
        if (typed >= 0)
            editor_->Perform(system ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(typed), data);
        editor_->Perform(system ? WM_SYSKEYUP : WM_KEYUP, VirtKey, data);
        SetInputShiftState(0);
    }

    // Types the bytes: letters, digits and blanks with their keys, others (as after a
    // compose sequence) as characters only.
    void Type(const std::string& Text)
    {
        for (char c : Text) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte >= 'a' && byte <= 'z') {
                Key(static_cast<Word>(byte - 'a' + 'A'));
            } else if ((byte >= 'A' && byte <= 'Z')) {
                Key(byte, ssShift);
            } else if ((byte >= '0' && byte <= '9') || byte == ' ') {
                Key(byte);
            } else {
                editor_->Perform(WM_CHAR, byte, 1);
            }
        }
    }

    // ---- Mouse --------------------------------------------------------------------------------

    void MouseDown(TMouseButton Button, int X, int Y, TShiftState Shift = 0)
    {
        SendMouse(ButtonMessage(Button, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN), X, Y,
                  Shift | ButtonState(Button));
    }
    void MouseMove(int X, int Y, TShiftState Shift = 0) { SendMouse(WM_MOUSEMOVE, X, Y, Shift); }
    void MouseUp(TMouseButton Button, int X, int Y, TShiftState Shift = 0)
    {
        SendMouse(ButtonMessage(Button, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP), X, Y, Shift);
    }
    void Click(int X, int Y, TShiftState Shift = 0)
    {
        MouseDown(mbLeft, X, Y, Shift);
        MouseUp(mbLeft, X, Y, Shift);
    }
    // Press, release, the second press as a double click, release.
    void DoubleClick(int X, int Y)
    {
        Click(X, Y);
        SendMouse(WM_LBUTTONDBLCLK, X, Y, ssLeft);
        MouseUp(mbLeft, X, Y);
    }
    // Puts the mouse over a client point of the editor (for what asks where the mouse is).
    void PutMouseAt(int X, int Y)
    {
        const TPoint screen = editor_->ClientToScreen(TPoint{X, Y});
        SetCursorPos(screen.X, screen.Y);
    }

    // ---- Painting -----------------------------------------------------------------------------

    // Paints the client area (only Clip when given) into a bitmap of the client's size,
    // first filled with Background, as a paint event would (WM_PAINT with the canvas on it).
    TBitmap& Grab(const TRect* Clip = nullptr, TColor Background = clFuchsia)
    {
        grab_ = std::make_unique<TBitmap>();
        grab_->SetSize(editor_->ClientWidth(), editor_->ClientHeight());
        TCanvas* target = grab_->GetCanvas();
        target->GetBrush()->SetColor(Background);
        target->FillRect(Rect(0, 0, grab_->GetWidth(), grab_->GetHeight()));
        HDC dc = target->GetHandle();
        const int saved = SaveDC(dc);
        if (Clip != nullptr)
            IntersectClipRect(dc, Clip->Left, Clip->Top, Clip->Right, Clip->Bottom);
        editor_->Canvas()->SetHandle(dc);
        try {
            editor_->Perform(WM_PAINT, 0, 0);
        } catch (...) {
            editor_->Canvas()->SetHandle(nullptr);
            RestoreDC(dc, saved);
            throw;
        }
        editor_->Canvas()->SetHandle(nullptr);
        RestoreDC(dc, saved);
        return *grab_;
    }
    // A pixel of the last grab, as an RGB colour.
    TColor Pixel(int X, int Y) const { return grab_->GetCanvas()->GetPixel(X, Y); }
    // A fresh grab's pixels right of the gutter, row by row.
    std::vector<TColor> TextAreaPixels()
    {
        TBitmap& bitmap = Grab();
        std::vector<TColor> pixels;
        for (int y = 0; y < bitmap.GetHeight(); ++y)
            for (int x = editor_->GetGutterWidth(); x < bitmap.GetWidth(); ++x)
                pixels.push_back(Pixel(x, y));
        return pixels;
    }

    // The client pixel of the top-left corner of a display cell.
    TPoint CellOrigin(int Column, int Line) const
    {
        return TPoint{(Column - editor_->GetLeftChar()) * editor_->GetCharWidth() +
                          editor_->GetGutterWidth() + 2,
                      (Line - editor_->GetTopLine()) * editor_->GetLineHeight()};
    }

private:
    static int CharOfKey(Word VirtKey, TShiftState Shift)
    {
        const bool ctrl = (Shift & ssCtrl) != 0;
        const bool alt = (Shift & ssAlt) != 0;
        if (VirtKey >= 'A' && VirtKey <= 'Z') {
            if (ctrl && !alt)
                return VirtKey - 'A' + 1;
            if (alt && !ctrl)
                return -1;
            return (Shift & ssShift) != 0 ? VirtKey : VirtKey - 'A' + 'a';
        }
        if (alt && !ctrl)
            return -1;
        switch (VirtKey) {
        case VK_BACK: return ctrl ? 127 : 8;
        case VK_TAB: return ctrl ? -1 : 9;
        case VK_RETURN: return ctrl ? 10 : 13;
        case VK_ESCAPE: return 27;
        case VK_SPACE: return ' ';
        default: break;
        }
        if (VirtKey >= '0' && VirtKey <= '9' && !ctrl)
            return VirtKey;
        return -1;
    }

    static UINT ButtonMessage(TMouseButton Button, UINT Left, UINT Right, UINT Middle)
    {
        return Button == mbLeft ? Left : Button == mbRight ? Right : Middle;
    }
    static TShiftState ButtonState(TMouseButton Button)
    {
        return Button == mbLeft ? ssLeft : Button == mbRight ? ssRight : ssMiddle;
    }

    void SendMouse(UINT Msg, int X, int Y, TShiftState Shift)
    {
        SetInputShiftState(Shift);
        WPARAM keys = 0;
        if (Shift & ssShift)
            keys |= MK_SHIFT;
        if (Shift & ssCtrl)
            keys |= MK_CONTROL;
        if (Shift & ssLeft)
            keys |= MK_LBUTTON;
        if (Shift & ssRight)
            keys |= MK_RBUTTON;
        if (Shift & ssMiddle)
            keys |= MK_MBUTTON;
        const auto lparam = static_cast<LPARAM>(static_cast<Word>(X) | (static_cast<DWORD>(static_cast<Word>(Y)) << 16));
        editor_->Perform(Msg, keys, lparam);
    }

    Cardinal savedCodePage_;
    TForm* form_ = nullptr;
    TEditor* editor_ = nullptr;  // owned by the form
    std::unique_ptr<TBitmap> grab_;
};

using EditorFixture = TEditorFixture<>;
