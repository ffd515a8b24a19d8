#include "cgglobal.h"

#include <QJSEngine>

QVariant eval(const QString &text)
{
    // An engine per call, so that nothing one expression defines reaches the next.
    QJSEngine engine;
    const QJSValue result = engine.evaluate(text, QString(), 1);
    // The engine hands small whole numbers over as int; callers have always received a double.
    if (result.isNumber())
        return result.toNumber();
    return result.toVariant();
}
