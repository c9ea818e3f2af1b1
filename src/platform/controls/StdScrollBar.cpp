// The scroll bar control over QScrollBar.
#include "platform/controls/StdCtrls.h"

#include "platform/controls/StdCtrlsQt.h"
#include "platform/window/ControlsQt.h"

#include <QScrollBar>
#include <QSignalBlocker>

namespace {

QScrollBar* Bar(const TControl* control)
{
    return HostedAs<QScrollBar>(control);
}

TScrollCode CodeOfAction(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return scLineUp;
    case QAbstractSlider::SliderSingleStepAdd: return scLineDown;
    case QAbstractSlider::SliderPageStepSub: return scPageUp;
    case QAbstractSlider::SliderPageStepAdd: return scPageDown;
    case QAbstractSlider::SliderToMinimum: return scTop;
    case QAbstractSlider::SliderToMaximum: return scBottom;
    default: return scTrack;
    }
}

}  // namespace

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner)
{
    auto* bar = new QScrollBar(Qt::Horizontal);
    bar->setFocusPolicy(Qt::NoFocus);
    bar->setRange(min_, max_);
    Window()->HostWidget(bar);
    // The user's actions: the slider already shows the position asked for, the value
    // is not taken yet.
    ConnectGuarded(bar, &QScrollBar::actionTriggered, this, [this, bar](int action) {
        if (action != QAbstractSlider::SliderNoAction)
            UserScrolled(CodeOfAction(action), bar->sliderPosition());
    });
    ConnectGuarded(bar, &QScrollBar::sliderReleased, this, [this] {
        UserScrolled(scPosition, position_);
        UserScrolled(scEndScroll, position_);
    });
    SetBounds(0, 0, 121, 17);
}

void TScrollBar::SetKind(TScrollBarKind Value)
{
    if (kind_ == Value)
        return;
    kind_ = Value;
    Bar(this)->setOrientation(Value == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    // A bar turned the other way keeps its place and swaps its sides.
    SetBounds(Left(), Top(), Height(), Width());
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax)
{
    if (AMax < AMin)
        std::swap(AMin, AMax);
    const int position = std::clamp(APosition, AMin, AMax);
    const bool changed = position != position_;
    min_ = AMin;
    max_ = AMax;
    position_ = position;
    QScrollBar* bar = Bar(this);
    {
        const QSignalBlocker quiet(bar);
        bar->setRange(min_, max_);
        bar->setValue(position_);
    }
    if (changed && OnChange)
        OnChange(this);
}

void TScrollBar::SetPageSize(int Value)
{
    pageSize_ = std::max(Value, 0);
    Bar(this)->setPageStep(std::max(pageSize_, largeChange_));
}

void TScrollBar::SetSmallChange(int Value)
{
    smallChange_ = std::max(Value, 1);
    Bar(this)->setSingleStep(smallChange_);
}

void TScrollBar::SetLargeChange(int Value)
{
    largeChange_ = std::max(Value, 1);
    Bar(this)->setPageStep(std::max(pageSize_, largeChange_));
}

void TScrollBar::UserScrolled(TScrollCode Code, int Pos)
{
    int asked = Pos;
    if (OnScroll)
        OnScroll(this, Code, asked);
    SetPosition(asked);
    // The handler may have moved elsewhere than the slider went.
    QScrollBar* bar = Bar(this);
    if (bar->sliderPosition() != position_) {
        const QSignalBlocker quiet(bar);
        bar->setSliderPosition(position_);
    }
}
