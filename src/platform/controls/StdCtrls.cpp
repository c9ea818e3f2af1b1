// Labels, buttons, check boxes, radio buttons and group boxes over their Qt widgets, and
// the default and cancel buttons' keys.
#include "platform/controls/StdCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/forms/Forms.h"
#include "platform/window/ControlsQt.h"

#include <QCheckBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <functional>

namespace {

// A label that reports font changes: an auto-sized label takes its new size then.
class QvLabel final : public QLabel {
public:
    std::function<void()> FontChanged;

protected:
    void changeEvent(QEvent* e) override
    {
        QLabel::changeEvent(e);
        if (e->type() == QEvent::FontChange && FontChanged)
            FontChanged();
    }
};

Qt::Alignment QtAlignment(TAlignment alignment)
{
    switch (alignment) {
    case taRightJustify: return Qt::AlignRight | Qt::AlignTop;
    case taCenter: return Qt::AlignHCenter | Qt::AlignTop;
    default: return Qt::AlignLeft | Qt::AlignTop;
    }
}

}  // namespace

// ---- TLabel ------------------------------------------------------------------------------

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* label = new QvLabel;
    label->setTextFormat(Qt::PlainText);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAlignment(QtAlignment(alignment_));
    label->setAutoFillBackground(true);
    label->FontChanged = [this] { AdjustSize(); };
    Window()->HostWidget(label);
}

void TLabel::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QLabel>(this)->setText(QString::fromUtf8(Value));
    AdjustSize();
}

void TLabel::SetAutoSize(bool Value)
{
    autoSize_ = Value;
    AdjustSize();
}

void TLabel::SetAlignment(TAlignment Value)
{
    alignment_ = Value;
    HostedAs<QLabel>(this)->setAlignment(QtAlignment(Value));
}

void TLabel::SetTransparent(bool Value)
{
    transparent_ = Value;
    HostedAs<QLabel>(this)->setAutoFillBackground(!Value);
    // The client area under the text then leaves the parent's pixels alone too.
    Window()->Client()->setAttribute(Qt::WA_OpaquePaintEvent, !Value);
    Invalidate();
}

void TLabel::WMEraseBkgnd(TWMEraseBkgnd& Message)
{
    if (transparent_) {
        Message.Result() = 1;
        return;
    }
    TWinControl::WMEraseBkgnd(Message);
}

void TLabel::AdjustSize()
{
    if (!autoSize_)
        return;
    auto* label = HostedAs<QLabel>(this);
    Window()->PushHostedLook();
    const QSize size = QFontMetrics(label->font()).size(0, label->text());
    SetBounds(Left(), Top(), size.width(), size.height());
}

// ---- TButton ------------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* button = new QPushButton;
    button->setAutoDefault(false);
    Window()->HostWidget(button);
    SetTabStop(true);
    ConnectGuarded(button, &QPushButton::clicked, this, [this](bool) { Click(); });
    SetBounds(0, 0, 75, 25);
}

void TButton::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QPushButton>(this)->setText(QString::fromUtf8(Value));
}

void TButton::SetDefault(bool Value)
{
    default_ = Value;
    HostedAs<QPushButton>(this)->setDefault(Value);
}

bool TButton::TakeDialogKey(Word Key, bool Focused)
{
    if (Focused ? Key != VK_RETURN : !(Key == VK_RETURN ? default_ : cancel_))
        return false;
    Click();
    return true;
}

void TButton::Click()
{
    if (TForm* form = GetParentForm(this))
        form->SetModalResult(modalResult_);
    TWinControl::Click();
}

// ---- TCheckBox ---------------------------------------------------------------------------

namespace {

// A button that draws nothing under itself lets its parent show through.
void SeeThrough(TControl* Control)
{
    Control->Window()->Client()->setAttribute(Qt::WA_OpaquePaintEvent, false);
}

// Leaves the background to the parent when Control has the parent's colour.
bool LeaveBackgroundToParent(const TControl* Control, TWMEraseBkgnd& Message)
{
    if (!Control->ParentColor())
        return false;
    Message.Result() = 1;
    return true;
}

}  // namespace

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* box = new QCheckBox;
    Window()->HostWidget(box);
    SeeThrough(this);
    SetTabStop(true);
    ConnectGuarded(box, &QCheckBox::clicked, this, [this](bool) { Click(); });
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::WMEraseBkgnd(TWMEraseBkgnd& Message)
{
    if (!LeaveBackgroundToParent(this, Message))
        TWinControl::WMEraseBkgnd(Message);
}

void TCheckBox::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QCheckBox>(this)->setText(QString::fromUtf8(Value));
}

bool TCheckBox::Checked() const
{
    return HostedAs<QCheckBox>(this)->isChecked();
}

void TCheckBox::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    HostedAs<QCheckBox>(this)->setChecked(Value);
    Click();
}

// ---- TRadioButton ------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* radio = new QRadioButton;
    // Each button sits in a widget of its own: exclusion among siblings is ours.
    radio->setAutoExclusive(false);
    Window()->HostWidget(radio);
    SeeThrough(this);
    SetTabStop(true);
    ConnectGuarded(radio, &QRadioButton::clicked, this, [this, radio](bool checked) {
        if (!checked) {  // a click on the checked button leaves it checked
            radio->setChecked(true);
            return;
        }
        UncheckSiblings();
        Click();
    });
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::WMEraseBkgnd(TWMEraseBkgnd& Message)
{
    if (!LeaveBackgroundToParent(this, Message))
        TWinControl::WMEraseBkgnd(Message);
}

void TRadioButton::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QRadioButton>(this)->setText(QString::fromUtf8(Value));
}

bool TRadioButton::Checked() const
{
    return HostedAs<QRadioButton>(this)->isChecked();
}

void TRadioButton::SetChecked(bool Value)
{
    if (Value == Checked())
        return;
    HostedAs<QRadioButton>(this)->setChecked(Value);
    if (!Value)
        return;
    UncheckSiblings();
    Click();
}

void TRadioButton::UncheckSiblings()
{
    if (Parent() == nullptr)
        return;
    for (int i = 0; i < Parent()->ControlCount(); ++i)
        if (auto* other = dynamic_cast<TRadioButton*>(Parent()->Controls(i)); other != nullptr && other != this)
            other->SetChecked(false);
}

// ---- TGroupBox ---------------------------------------------------------------------------

TGroupBox::TGroupBox(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* box = new QGroupBox;
    box->setFocusPolicy(Qt::NoFocus);
    Window()->HostWidget(box);
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::SetCaption(const std::string& Value)
{
    caption_ = Value;
    HostedAs<QGroupBox>(this)->setTitle(QString::fromUtf8(Value));
}
