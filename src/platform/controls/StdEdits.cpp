// Edit boxes and memos over QLineEdit and QPlainTextEdit.
#include "platform/controls/StdCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/window/ControlsQt.h"

#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextBlock>

#include <vector>

namespace {

QLineEdit* LineEdit(const TControl* control)
{
    return HostedAs<QLineEdit>(control);
}

QPlainTextEdit* TextEdit(const TControl* control)
{
    return HostedAs<QPlainTextEdit>(control);
}

// The memo's widget. Qt's text control crashes when it pastes from a clipboard that
// nobody owns (an X display where nothing was copied yet): the data it is handed then
// has no formats at all. A memo takes only text, so data without text is dropped here,
// which covers the paste keys, the middle click, the context menu and drops alike. (A
// line edit reads the clipboard's text itself and needs no such guard.)
//
// Text is never dragged out of a memo (a line edit drags none either): Qt's text control
// starts a drag from a press on the selection, and when the move that starts it leaves
// the widget, the widget's auto-scroll timer starts the drag again after each one ends,
// for as long as the release the control waits for does not come; every key and click
// then goes to a drag. A left press without Shift on a selection therefore first drops
// the selection at the press point, so that the control, which then places the caret
// there, as it does for a press beside the selection, has no drag to begin. Drops into
// the memo are taken as before.
class TMemoWidget final : public QPlainTextEdit {
protected:
    void insertFromMimeData(const QMimeData* source) override
    {
        if (source != nullptr && source->hasText())
            QPlainTextEdit::insertFromMimeData(source);
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::LeftButton && e->modifiers() != Qt::ShiftModifier && textCursor().hasSelection())
            setTextCursor(cursorForPosition(e->position().toPoint()));
        QPlainTextEdit::mousePressEvent(e);
    }
};

// The memo's lines: a final empty line (after a last line break) is no line of its own.
std::vector<std::string> ReadLines(const QPlainTextEdit* edit)
{
    std::vector<std::string> lines;
    const QTextDocument* doc = edit->document();
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next())
        lines.push_back(AnsiOf(block.text()));
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

void WriteLines(QPlainTextEdit* edit, const std::vector<std::string>& lines)
{
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += '\n';
        text += lines[i];
    }
    edit->setPlainText(QAnsi(text));
}

class TMemoLines final : public TStrings {
public:
    explicit TMemoLines(QPlainTextEdit* edit) : edit_(edit) {}

    void Insert(int Index, const std::string& S) override
    {
        std::vector<std::string> lines = ReadLines(edit_);
        if (Index < 0 || Index > static_cast<int>(lines.size()))
            Error("List index out of bounds (%d)", Index);
        lines.insert(lines.begin() + Index, S);
        WriteLines(edit_, lines);
    }
    void Delete(int Index) override
    {
        std::vector<std::string> lines = ReadLines(edit_);
        CheckIndex(Index, lines);
        lines.erase(lines.begin() + Index);
        WriteLines(edit_, lines);
    }
    void Clear() override { edit_->clear(); }

protected:
    std::string Get(int Index) const override
    {
        const std::vector<std::string> lines = ReadLines(edit_);
        CheckIndex(Index, lines);
        return lines[static_cast<std::size_t>(Index)];
    }
    int GetCount() const override { return static_cast<int>(ReadLines(edit_).size()); }
    void Put(int Index, const std::string& S) override
    {
        std::vector<std::string> lines = ReadLines(edit_);
        CheckIndex(Index, lines);
        lines[static_cast<std::size_t>(Index)] = S;
        WriteLines(edit_, lines);
    }

private:
    void CheckIndex(int Index, const std::vector<std::string>& lines) const
    {
        if (Index < 0 || Index >= static_cast<int>(lines.size()))
            Error("List index out of bounds (%d)", Index);
    }

    QPlainTextEdit* edit_;
};

}  // namespace

// ---- TEdit ------------------------------------------------------------------------------

TEdit::TEdit(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* edit = new QLineEdit;
    Window()->HostWidget(edit);
    SetTabStop(true);
    SetColor(clWindow);
    ConnectGuarded(edit, &QLineEdit::textChanged, this, [this](const QString&) {
        if (OnChange)
            OnChange(this);
    });
    SetBounds(0, 0, 121, 21);
}

std::string TEdit::Text() const
{
    return AnsiOf(LineEdit(this)->text());
}

void TEdit::SetText(const std::string& Value)
{
    LineEdit(this)->setText(QAnsi(Value));
}

void TEdit::SetMaxLength(int Value)
{
    maxLength_ = Value < 0 ? 0 : Value;
    // QLineEdit's own default limit stands for "no limit".
    LineEdit(this)->setMaxLength(maxLength_ == 0 ? 32767 : maxLength_);
}

bool TEdit::ReadOnly() const
{
    return LineEdit(this)->isReadOnly();
}

void TEdit::SetReadOnly(bool Value)
{
    LineEdit(this)->setReadOnly(Value);
}

int TEdit::SelStart() const
{
    const QLineEdit* edit = LineEdit(this);
    return edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
}

void TEdit::SetSelStart(int Value)
{
    LineEdit(this)->setCursorPosition(Value);
}

int TEdit::SelLength() const
{
    return LineEdit(this)->selectionLength();
}

void TEdit::SetSelLength(int Value)
{
    QLineEdit* edit = LineEdit(this);
    edit->setSelection(SelStart(), std::max(Value, 0));
}

std::string TEdit::SelText() const
{
    return AnsiOf(LineEdit(this)->selectedText());
}

void TEdit::SetSelText(const std::string& Value)
{
    LineEdit(this)->insert(QAnsi(Value));
}

void TEdit::SelectAll()
{
    LineEdit(this)->selectAll();
}

// ---- TMemo ------------------------------------------------------------------------------

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* edit = new TMemoWidget;
    edit->setTabChangesFocus(true);
    Window()->HostWidget(edit);
    lines_ = std::make_unique<TMemoLines>(edit);
    SetTabStop(true);
    SetColor(clWindow);
    ApplyScrolling();
    ConnectGuarded(edit, &QPlainTextEdit::textChanged, this, [this] {
        if (OnChange)
            OnChange(this);
    });
    SetBounds(0, 0, 185, 89);
}

TMemo::~TMemo() = default;

TStrings* TMemo::Lines() const
{
    return lines_.get();
}

std::string TMemo::Text() const
{
    std::string text;
    const std::vector<std::string> lines = ReadLines(TextEdit(this));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += "\r\n";
        text += lines[i];
    }
    return text;
}

void TMemo::SetText(const std::string& Value)
{
    // Any line end the text uses (CR LF, LF or CR) becomes the widget's line break.
    std::string text;
    for (std::size_t i = 0; i < Value.size(); ++i) {
        if (Value[i] == '\r') {
            text += '\n';
            if (i + 1 < Value.size() && Value[i + 1] == '\n')
                ++i;
        } else {
            text += Value[i];
        }
    }
    TextEdit(this)->setPlainText(QAnsi(text));
}

void TMemo::SetWordWrap(bool Value)
{
    wordWrap_ = Value;
    ApplyScrolling();
}

void TMemo::SetScrollBars(TScrollStyle Value)
{
    scrollBars_ = Value;
    ApplyScrolling();
}

void TMemo::ApplyScrolling()
{
    QPlainTextEdit* edit = TextEdit(this);
    const bool horizontal = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
    const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
    edit->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    edit->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    // A horizontal scroll bar turns wrapping off, as a wide line then has somewhere to go.
    const bool wrap = wordWrap_ && !horizontal;
    edit->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

bool TMemo::ReadOnly() const
{
    return TextEdit(this)->isReadOnly();
}

void TMemo::SetReadOnly(bool Value)
{
    TextEdit(this)->setReadOnly(Value);
}

void TMemo::WMGetDlgCode(TWMGetDlgCode& Message)
{
    // Enter types a line break here; Escape and Tab stay the dialog's.
    TWinControl::WMGetDlgCode(Message);
    if (Message.Message.WParam == VK_RETURN)
        Message.Message.Result |= DLGC_WANTALLKEYS;
}
