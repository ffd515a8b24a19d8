#ifndef MESSAGEBOXWATCHER_H
#define MESSAGEBOXWATCHER_H

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QTimer>

#include <functional>

// What a message box looked like while it was shown.
struct ShownMessageBox
{
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    QWidget *parent = nullptr;
    Qt::WindowFlags windowFlags;
    // The application's override cursor while the box was up; Qt::BitmapCursor stands for none.
    Qt::CursorShape overrideCursor = Qt::BitmapCursor;
};

// While it lives, records every message box that is shown and answers it, so that code which
// shows modal boxes can run unattended under the offscreen platform.
class MessageBoxWatcher : public QObject
{
    Q_OBJECT

public:
    // answer is clicked when the box has it; otherwise the box's default button, or its first.
    explicit MessageBoxWatcher(QMessageBox::StandardButton answer = QMessageBox::NoButton);

    // Runs while each box is up, before it is answered: what an application's event handlers
    // might do meanwhile.
    void setWhileShown(std::function<void()> action) { m_whileShown = std::move(action); }
    QList<ShownMessageBox> takeShown();

private:
    void answerOpenBoxes();

    QTimer m_poll;
    QMessageBox::StandardButton m_answer;
    std::function<void()> m_whileShown;
    QList<ShownMessageBox> m_shown;
};

#endif // MESSAGEBOXWATCHER_H
