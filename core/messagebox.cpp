#include "cgglobal.h"

#include <QApplication>
#include <QDebug>
#include <QThread>

namespace {

bool canShowWidgets()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return qobject_cast<const QApplication *>(app) && QThread::currentThread() == app->thread();
}

QWidget *dialogParent()
{
    QWidget *parent = QApplication::activeModalWidget();
    if (!parent)
        parent = QApplication::activeWindow();
    return parent ? parent->window() : nullptr;
}

QMessageBox::StandardButton showMessageBox(QMessageBox::Icon icon, const QString &text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton)
{
    // Widgets need a QApplication and its thread; a console program still deserves the text.
    if (!canShowWidgets()) {
        qWarning().noquote() << text;
        return defaultButton;
    }

    // The box must be usable while the caller shows a busy cursor.
    WaitCursor arrow(Qt::ArrowCursor);
    QMessageBox box(icon, QCoreApplication::applicationName(), text, buttons, dialogParent(),
                    Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

} // namespace

QMessageBox::StandardButton information(const QString &text, QMessageBox::StandardButtons buttons,
                                        QMessageBox::StandardButton defaultButton)
{
    return showMessageBox(QMessageBox::Information, text, buttons, defaultButton);
}

QMessageBox::StandardButton question(const QString &text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton)
{
    return showMessageBox(QMessageBox::Question, text, buttons, defaultButton);
}

QMessageBox::StandardButton warning(const QString &text, QMessageBox::StandardButtons buttons,
                                    QMessageBox::StandardButton defaultButton)
{
    return showMessageBox(QMessageBox::Warning, text, buttons, defaultButton);
}

QMessageBox::StandardButton critical(const QString &text, QMessageBox::StandardButtons buttons,
                                     QMessageBox::StandardButton defaultButton)
{
    return showMessageBox(QMessageBox::Critical, text, buttons, defaultButton);
}
