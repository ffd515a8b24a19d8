#include "cgglobal.h"

#include <QRegularExpression>

double fraction(const QString &text, bool *ok)
{
    // Compiled once; matching does not change it, so it is safe to share. Without Unicode
    // properties \d means ASCII digits, the only ones the number conversion below reads.
    static const QRegularExpression pattern(
        QStringLiteral("([+-]?\\d+(?:\\.\\d*)?)\\s*[:/]\\s*([+-]?\\d+(?:\\.\\d*)?)"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (ok)
        *ok = match.hasMatch();
    if (!match.hasMatch())
        return 0.0;
    return match.capturedRef(1).toDouble() / match.capturedRef(2).toDouble();
}

double round(double value, int precision, char format)
{
    return QString::number(value, format, precision).toDouble();
}

QStringList dilutionList()
{
    return { QStringLiteral("1/1"),   QStringLiteral("1/2"),   QStringLiteral("1/4"),
             QStringLiteral("1/5"),   QStringLiteral("1/8"),   QStringLiteral("1/10"),
             QStringLiteral("1/16"),  QStringLiteral("1/20"),  QStringLiteral("1/30"),
             QStringLiteral("1/40"),  QStringLiteral("1/50"),  QStringLiteral("1/80"),
             QStringLiteral("1/100"), QStringLiteral("1/160"), QStringLiteral("1/320"),
             QStringLiteral("2/5"),   QStringLiteral("3/4"),   QStringLiteral("3/5"),
             QStringLiteral("4/5") };
}
