#include "messageboxwatcher.h"

#include <QApplication>
#include <QPushButton>

MessageBoxWatcher::MessageBoxWatcher(QMessageBox::StandardButton answer) : m_answer(answer)
{
    connect(&m_poll, &QTimer::timeout, this, &MessageBoxWatcher::answerOpenBoxes);
    m_poll.start(5);
}

QList<ShownMessageBox> MessageBoxWatcher::takeShown()
{
    return std::exchange(m_shown, {});
}

void MessageBoxWatcher::answerOpenBoxes()
{
    const QWidgetList widgets = QApplication::topLevelWidgets();
    for (QWidget *widget : widgets) {
        auto *box = qobject_cast<QMessageBox *>(widget);
        if (!box || !box->isVisible())
            continue;
        ShownMessageBox shown;
        shown.icon = box->icon();
        shown.title = box->windowTitle();
        shown.text = box->text();
        shown.buttons = box->standardButtons();
        shown.defaultButton = box->defaultButton() ? box->standardButton(box->defaultButton())
                                                   : QMessageBox::NoButton;
        shown.parent = box->parentWidget();
        shown.windowFlags = box->windowFlags();
        if (const QCursor *cursor = QGuiApplication::overrideCursor())
            shown.overrideCursor = cursor->shape();
        m_shown << shown;
        if (m_whileShown)
            m_whileShown();

        QAbstractButton *button = box->button(m_answer);
        if (!button)
            button = box->defaultButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().constFirst();
        if (button)
            button->click();
        else
            box->reject();
    }
}
