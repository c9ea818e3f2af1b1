// The up-down control: two arrow buttons stepping a position shown in an edit box.
#include "platform/controls/ComCtrls.h"

#include "platform/controls/StdCtrls.h"
#include "platform/controls/StdCtrlsQt.h"
#include "platform/runtime/SysUtils.h"
#include "platform/window/ControlsQt.h"

#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton* ArrowButton(Qt::ArrowType arrow)
{
    auto* button = new QToolButton;
    button->setArrowType(arrow);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    return button;
}

}  // namespace

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* host = new QWidget;
    host->setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QToolButton* up = ArrowButton(Qt::UpArrow);
    QToolButton* down = ArrowButton(Qt::DownArrow);
    layout->addWidget(up);
    layout->addWidget(down);
    Window()->HostWidget(host);
    ConnectGuarded(up, &QToolButton::clicked, this, [this](bool) { Step(1); });
    ConnectGuarded(down, &QToolButton::clicked, this, [this](bool) { Step(-1); });
    SetBounds(0, 0, 17, 21);
}

void TUpDown::SetAssociate(TEdit* Value)
{
    if (associate_ == Value)
        return;
    if (associate_ != nullptr)
        associate_->RemoveFreeNotification(this);
    associate_ = Value;
    if (Value == nullptr)
        return;
    Value->FreeNotification(this);
    ShowPosition();
}

void TUpDown::Notification(TComponent* AComponent, TOperation Operation)
{
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == associate_)
        associate_ = nullptr;
}

void TUpDown::SetMin(int Value)
{
    min_ = Value;
    max_ = std::max(max_, min_);
    SetPosition(position_);
}

void TUpDown::SetMax(int Value)
{
    max_ = Value;
    min_ = std::min(min_, max_);
    SetPosition(position_);
}

int TUpDown::Position() const
{
    if (associate_ == nullptr)
        return position_;
    const std::string text = Trim(associate_->Text());
    int typed = 0;
    if (!TryStrToInt(text, typed))
        return position_;
    return std::clamp(typed, min_, max_);
}

void TUpDown::SetPosition(int Value)
{
    position_ = std::clamp(Value, min_, max_);
    ShowPosition();
}

void TUpDown::Step(int Delta)
{
    const long long next = static_cast<long long>(Position()) + static_cast<long long>(Delta) * increment_;
    if (next > max_)
        SetPosition(wrap_ ? min_ : max_);
    else if (next < min_)
        SetPosition(wrap_ ? max_ : min_);
    else
        SetPosition(static_cast<int>(next));
}

void TUpDown::ShowPosition()
{
    if (associate_ != nullptr && associate_->Text() != IntToStr(position_))
        associate_->SetText(IntToStr(position_));
}
