#include "ModalWindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>

std::vector<std::string> ButtonsOfModalWindow(const std::function<void()>& Open)
{
    std::vector<std::string> texts;
    int tries = 0;
    QTimer poll;
    poll.setInterval(50);
    // Looks for a minute: the window may come late on a busy machine.
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (window == nullptr || !window->isVisible()) {
            if (++tries > 1200)
                poll.stop();
            return;
        }
        poll.stop();
        for (const QAbstractButton* button : window->findChildren<QAbstractButton*>())
            if (button->isVisible() && !button->text().isEmpty())
                texts.push_back(button->text().toStdString());
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    });
    poll.start();
    Open();
    poll.stop();
    return texts;
}
