#include "ShownText.h"

#include "platform/window/ControlsQt.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

std::string ShownText(const TControl* Control)
{
    QWidget* widget = Control->Window()->Hosted();
    if (const auto* label = qobject_cast<QLabel*>(widget))
        return label->text().toStdString();
    if (const auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text().toStdString();
    if (const auto* group = qobject_cast<QGroupBox*>(widget))
        return group->title().toStdString();
    return "<no text>";
}

// Measured in the control's own font and colours, which a widget not yet seen takes when
// it is first shown.
bool ShowsTextWhole(const TControl* Control)
{
    Control->Window()->PushHostedLook();
    QWidget* widget = Control->Window()->Hosted();
    if (qobject_cast<QLabel*>(widget) == nullptr && qobject_cast<QAbstractButton*>(widget) == nullptr)
        return false;
    return widget->sizeHint().width() <= widget->width();
}
