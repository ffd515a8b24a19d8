#include "cgglobal.h"

#include <QGuiApplication>

// The cursor stack belongs to QGuiApplication; a console program linking the library has none,
// and then there is no cursor to change.

WaitCursor::WaitCursor(Qt::CursorShape shape)
{
    if (qGuiApp)
        QGuiApplication::setOverrideCursor(QCursor(shape));
}

WaitCursor::~WaitCursor()
{
    if (qGuiApp)
        QGuiApplication::restoreOverrideCursor();
}

WaitCursor &WaitCursor::operator=(const WaitCursor &)
{
    return *this;
}
