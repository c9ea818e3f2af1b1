// The caret: one per application, drawn inverted over its control's painting in the
// paint event itself, so that it is always painted over fresh pixels: whatever changes
// the caret's rectangle (showing, hiding, moving, blinking, scrolling) repaints it.
// Also the input method's composition window, font and committed text.
#include "platform/window/Caret.h"

#include "platform/window/Controls.h"
#include "platform/window/ControlsQt.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

// Where the caret shows: its window's client widget and rectangle, or no client when it
// shows nowhere (hidden, in the dark phase of a blink, or gone).
struct TCaretImage {
    QPointer<QWidget> Client;
    QRect Rect;

    friend bool operator==(const TCaretImage& a, const TCaretImage& b)
    {
        return a.Client == b.Client && (a.Client.isNull() || a.Rect == b.Rect);
    }
};

struct TCaret {
    HWND Owner = nullptr;
    QPointer<QWidget> Client;
    QRect Rect;
    int HideCount = 1;
    bool BlinkOn = true;
    QTimer* Timer = nullptr;
    // While a client widget paints: the caret as it showed when the paint began, and
    // where it stood then.
    bool Painting = false;
    TCaretImage BeforePaint;
    QRect RectBeforePaint;

    bool Exists() const { return Owner != nullptr && !Client.isNull(); }
    bool Shown() const { return Exists() && HideCount == 0; }
    TCaretImage Image() const
    {
        if (!Shown() || !BlinkOn || Rect.isEmpty())
            return TCaretImage{};
        return TCaretImage{Client, Rect};
    }
};

TCaret& Caret()
{
    static TCaret caret;
    return caret;
}

// Asks for the caret's rectangle to be painted again. A paint hides and shows the caret
// around its own drawing; asking for paints from inside one would paint for ever, so
// there the request waits for the end of the paint, which compares the caret with how
// it began.
void Repaint(const TCaret& caret)
{
    if (caret.Painting)
        return;
    if (caret.Exists() && !caret.Rect.isEmpty())
        caret.Client->update(caret.Rect);
}

void Blink()
{
    TCaret& caret = Caret();
    if (!caret.Shown())
        return;
    caret.BlinkOn = !caret.BlinkOn;
    Repaint(caret);
}

// A new phase starts fully visible, as after any change.
void RestartBlink(TCaret& caret)
{
    caret.BlinkOn = true;
    const UINT interval = GetCaretBlinkTime();
    if (interval == 0xFFFFFFFFu) {
        if (caret.Timer != nullptr)
            caret.Timer->stop();
        return;
    }
    if (caret.Timer == nullptr) {
        caret.Timer = new QTimer(QCoreApplication::instance());
        QObject::connect(caret.Timer, &QTimer::timeout, &Blink);
    }
    caret.Timer->start(static_cast<int>(interval));
}

bool OwnsCaret(HWND window)
{
    const TCaret& caret = Caret();
    return caret.Exists() && (window == nullptr || window == caret.Owner);
}

struct TImeState {
    HWND Window = nullptr;
    QPoint Position;
    bool HasPosition = false;
    LOGFONTA Font{};
    bool HasFont = false;
    const std::string* Result = nullptr;
};

TImeState& Ime()
{
    static TImeState state;
    return state;
}

}  // namespace

BOOL CreateCaret(HWND Window, const void*, int Width, int Height)
{
    TWinControl* control = FindControl(Window);
    if (control == nullptr)
        return FALSE;
    DestroyCaret();
    TCaret& caret = Caret();
    caret.Owner = Window;
    caret.Client = control->Window()->Client();
    caret.Rect = QRect(0, 0, Width > 0 ? Width : GetSystemMetrics(SM_CXBORDER),
                       Height > 0 ? Height : GetSystemMetrics(SM_CYBORDER));
    caret.HideCount = 1;
    RestartBlink(caret);
    return TRUE;
}

BOOL DestroyCaret()
{
    TCaret& caret = Caret();
    if (caret.Owner == nullptr)
        return FALSE;
    if (caret.Shown())
        Repaint(caret);
    if (caret.Timer != nullptr)
        caret.Timer->stop();
    caret.Owner = nullptr;
    caret.Client = nullptr;
    caret.Rect = QRect();
    caret.HideCount = 1;
    return TRUE;
}

BOOL SetCaretPos(int X, int Y)
{
    TCaret& caret = Caret();
    if (!caret.Exists())
        return FALSE;
    if (caret.Shown())
        Repaint(caret);
    caret.Rect.moveTo(X, Y);
    if (caret.Shown()) {
        RestartBlink(caret);
        Repaint(caret);
    }
    return TRUE;
}

BOOL GetCaretPos(TPoint* Point)
{
    const TCaret& caret = Caret();
    if (Point == nullptr || !caret.Exists())
        return FALSE;
    *Point = {caret.Rect.x(), caret.Rect.y()};
    return TRUE;
}

BOOL ShowCaret(HWND Window)
{
    if (!OwnsCaret(Window))
        return FALSE;
    TCaret& caret = Caret();
    if (caret.HideCount > 0 && --caret.HideCount == 0) {
        // A paint hides and shows the caret where it was: that keeps the blink's phase,
        // or the paint of a dark phase would end it at once.
        if (!caret.Painting || caret.Rect != caret.RectBeforePaint)
            RestartBlink(caret);
        Repaint(caret);
    }
    return TRUE;
}

BOOL HideCaret(HWND Window)
{
    if (!OwnsCaret(Window))
        return FALSE;
    TCaret& caret = Caret();
    if (caret.HideCount++ == 0)
        Repaint(caret);
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    return flash > 0 ? static_cast<UINT>(std::max(flash / 2, 1)) : 0xFFFFFFFFu;
}

// ---- Platform side --------------------------------------------------------------------------

void BeginCaretPaint()
{
    TCaret& caret = Caret();
    if (caret.Painting)
        return;  // a paint inside a paint: the outer one settles the caret
    caret.BeforePaint = caret.Image();
    caret.RectBeforePaint = caret.Rect;
    caret.Painting = true;
}

void EndCaretPaint(const QWidget* client, const QRegion& painted)
{
    TCaret& caret = Caret();
    if (!caret.Painting)
        return;
    caret.Painting = false;
    const TCaretImage before = caret.BeforePaint;
    const TCaretImage after = caret.Image();
    caret.BeforePaint = TCaretImage{};
    if (before == after)
        return;
    // The caret moved, appeared or went during the paint: its old and new places are
    // painted again, except what this paint just covered (its overlay is up to date).
    for (const TCaretImage& image : {before, after}) {
        if (image.Client.isNull())
            continue;
        QRegion stale(image.Rect);
        if (image.Client == client)
            stale -= painted;
        if (!stale.isEmpty())
            image.Client->update(stale);
    }
}

void PaintCaretOverlay(TWinControl* control, QPainter& painter)
{
    const TCaret& caret = Caret();
    if (!caret.Shown() || !caret.BlinkOn || caret.Client != control->Window()->Client())
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_Difference);
    painter.fillRect(caret.Rect, Qt::white);
    painter.restore();
}

QRect CaretRectOf(const TWinControl* control)
{
    const TCaret& caret = Caret();
    if (!caret.Exists() || caret.Client != control->Window()->Client())
        return QRect();
    return caret.Rect;
}

void WindowDestroyed(const TWinControl* control)
{
    if (Caret().Exists() && Caret().Client == control->Window()->Client())
        DestroyCaret();
    TImeState& ime = Ime();
    if (ime.Window != nullptr && FindControl(ime.Window) == control) {
        ime.Window = nullptr;
        ime.HasPosition = false;
        ime.HasFont = false;
    }
}

void SetImeResult(const std::string* ansiText)
{
    Ime().Result = ansiText;
}

const std::string* CurrentImeResult()
{
    return Ime().Result;
}

QRect ImeCursorRect(const TWinControl* control)
{
    const TImeState& ime = Ime();
    const QRect caret = CaretRectOf(control);
    if (ime.HasPosition && FindControl(ime.Window) == control)
        return QRect(ime.Position, caret.isEmpty() ? QSize(1, 16) : caret.size());
    return caret;
}

bool ImeFont(const TWinControl* control, QFont& font)
{
    const TImeState& ime = Ime();
    if (!ime.HasFont || FindControl(ime.Window) != control)
        return false;
    const std::size_t length = strnlen(ime.Font.lfFaceName, LF_FACESIZE);
    font = QFont(QString::fromLatin1(ime.Font.lfFaceName, static_cast<int>(length)));
    if (ime.Font.lfHeight != 0)
        font.setPixelSize(std::abs(ime.Font.lfHeight));
    font.setBold(ime.Font.lfWeight >= 600);
    font.setItalic(ime.Font.lfItalic != 0);
    return true;
}

// ---- Input method calls ---------------------------------------------------------------------

HIMC ImmGetContext(HWND Window)
{
    return FindControl(Window) != nullptr ? reinterpret_cast<HIMC>(Window) : nullptr;
}

BOOL ImmReleaseContext(HWND, HIMC)
{
    return TRUE;
}

LONG ImmGetCompositionStringA(HIMC, DWORD Index, void* Buffer, DWORD Length)
{
    const std::string* text = Ime().Result;
    if (Index != GCS_RESULTSTR || text == nullptr)
        return 0;
    if (Buffer == nullptr || Length == 0)
        return static_cast<LONG>(text->size());
    const std::size_t count = std::min<std::size_t>(Length, text->size());
    std::memcpy(Buffer, text->data(), count);
    return static_cast<LONG>(count);
}

BOOL ImmSetCompositionWindow(HIMC Context, const COMPOSITIONFORM* Form)
{
    const HWND window = reinterpret_cast<HWND>(Context);
    if (FindControl(window) == nullptr || Form == nullptr)
        return FALSE;
    TImeState& ime = Ime();
    ime.Window = window;
    ime.Position = QPoint(Form->ptCurrentPos.X, Form->ptCurrentPos.Y);
    ime.HasPosition = true;
    return TRUE;
}

BOOL ImmSetCompositionFontA(HIMC Context, const LOGFONTA* Font)
{
    const HWND window = reinterpret_cast<HWND>(Context);
    if (FindControl(window) == nullptr || Font == nullptr)
        return FALSE;
    TImeState& ime = Ime();
    ime.Window = window;
    ime.Font = *Font;
    ime.HasFont = true;
    return TRUE;
}
