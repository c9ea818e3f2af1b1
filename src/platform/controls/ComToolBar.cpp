// Tool bars and tool buttons.
#include "platform/controls/ComCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/window/ControlsQt.h"

#include <QFrame>
#include <QStackedLayout>
#include <QToolButton>

namespace {

constexpr int kSeparatorWidth = 8;

// The pages of a tool button's widget, one per style.
struct TToolButtonWidgets {
    QToolButton* Button;
    QStackedLayout* Styles;
};

TToolButtonWidgets Widgets(const TToolButton* button)
{
    QWidget* host = button->Window()->Hosted();
    return {host->findChild<QToolButton*>(), static_cast<QStackedLayout*>(host->layout())};
}

}  // namespace

// ---- TToolButton ------------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* host = new QWidget;
    host->setFocusPolicy(Qt::NoFocus);
    auto* styles = new QStackedLayout(host);
    auto* button = new QToolButton;
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    auto* divider = new QFrame;
    divider->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    styles->addWidget(button);       // tbsButton
    styles->addWidget(new QWidget);  // tbsSeparator: a gap
    styles->addWidget(divider);      // tbsDivider
    Window()->HostWidget(host);
    ConnectGuarded(button, &QToolButton::clicked, this, [this](bool) { Click(); });
    SetBounds(0, 0, 23, 22);
}

void TToolButton::SetStyle(TToolButtonStyle Value)
{
    style_ = Value;
    Widgets(this).Styles->setCurrentIndex(static_cast<int>(Value));
    if (auto* bar = dynamic_cast<TToolBar*>(Parent()))
        bar->Arrange();
}

void TToolButton::SetCaption(const std::string& Value)
{
    caption_ = Value;
    UpdateCaption();
}

void TToolButton::UpdateCaption()
{
    auto* bar = dynamic_cast<TToolBar*>(Parent());
    const bool shown = bar != nullptr && bar->ShowCaptions();
    Widgets(this).Button->setText(shown ? QString::fromUtf8(caption_) : QString());
}

// ---- TToolBar ---------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner)
{
    SetBounds(0, 0, 150, 29);
    SetAlign(alTop);
}

void TToolBar::SetButtonHeight(int Value)
{
    buttonHeight_ = std::max(Value, 1);
    Arrange();
}

void TToolBar::SetButtonWidth(int Value)
{
    buttonWidth_ = std::max(Value, 1);
    Arrange();
}

void TToolBar::SetShowCaptions(bool Value)
{
    showCaptions_ = Value;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* button = dynamic_cast<TToolButton*>(Controls(i)))
            button->UpdateCaption();
    Arrange();
}

void TToolBar::Arrange()
{
    if (arranging_)
        return;
    arranging_ = true;
    int x = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible())
            continue;
        auto* button = dynamic_cast<TToolButton*>(c);
        if (button == nullptr) {
            c->SetBounds(x, 0, c->Width(), c->Height());
            x += c->Width();
            continue;
        }
        int width = button->Style() == tbsButton ? buttonWidth_ : kSeparatorWidth;
        if (button->Style() == tbsButton && showCaptions_) {
            button->Window()->PushHostedLook();  // the caption's width is in its font
            const int text = Widgets(button).Button->sizeHint().width();
            width = std::max(width, text);
        }
        button->SetBounds(x, 0, width, buttonHeight_);
        x += width;
    }
    arranging_ = false;
}

void TToolBar::ControlListChanged(TControl* Control, bool Inserted)
{
    if (auto* button = dynamic_cast<TToolButton*>(Control); button != nullptr && Inserted)
        button->UpdateCaption();
    Arrange();
}

void TToolBar::WMSize(TWMSize& Message)
{
    TWinControl::WMSize(Message);
    Arrange();
}
