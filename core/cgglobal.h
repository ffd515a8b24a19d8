#ifndef CGGLOBAL_H
#define CGGLOBAL_H

#include <core_export.h>

#include <QMessageBox>
#include <QString>

// The library's free functions live in the global namespace, beside the C library's. They are
// overloads told apart by their parameter lists: sleep(int) next to ::sleep(unsigned), so none
// of them may gain default arguments that would make a one-argument call ambiguous.

// Modal message boxes titled with the application name, parented to the active modal widget or
// window. Without a QApplication, or off its thread, the text goes to Qt's message handler as a
// warning and defaultButton is returned.
CORE_EXPORT QMessageBox::StandardButton information(const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton question(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton warning(const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton critical(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);

// Blocks the calling thread for ms milliseconds without processing events; ms <= 0 returns at once.
CORE_EXPORT void sleep(int ms);

// Shows shape as the application's override cursor for the object's lifetime. Nested objects
// behave like the override-cursor stack they push onto. Does nothing without a QGuiApplication.
class CORE_EXPORT WaitCursor
{
public:
    explicit WaitCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~WaitCursor();
    // Copying would pop a cursor that was never pushed.
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &);
};

// Gives flag the value for the locker's lifetime and then restores the value it had before.
class CORE_EXPORT BoolLocker
{
public:
    BoolLocker(bool &flag, bool value);
    ~BoolLocker();

private:
    Q_DISABLE_COPY(BoolLocker)
    bool *const m_flag;
    const bool m_previous;
};

// An empty class kept for the applications that use it: it holds and does nothing.
class CORE_EXPORT Core
{
public:
    Core();
    ~Core();
    Core(const Core &) = default;
    Core &operator=(const Core &);
};

#endif // CGGLOBAL_H
