#include "cgglobal.h"

#include "profile.h"
#include "sqlwarning_p.h"

#include <QDate>
#include <QSqlQuery>

#include <limits>

QString samplePrefix(cg::SampleType type)
{
    switch (type) {
    case cg::StatimSample:
        return Profile::instance().statim_sample_prefix(QStringLiteral("S"));
    case cg::QcSample:
        return Profile::instance().qc_sample_prefix(QStringLiteral("QC"));
    default:
        return QString();
    }
}

int nextSampleNo(const QDate &date)
{
    QSqlQuery query(Profile::instance().dataDatabase());
    query.setForwardOnly(true);
    // The source locations are those the application's log has always shown for these steps.
    if (!query.prepare(
            QStringLiteral("select max(cast(sampleNo as integer)) from patient where date=:date")))
        warnSqlError(".\\cgglobal(145):", query.lastError());
    query.bindValue(QStringLiteral(":date"), date);
    if (!query.exec())
        warnSqlError(".\\cgglobal(148):", query.lastError());

    // SQLite's integers are 64-bit: the largest is brought into int's range before adding one,
    // so a maximum at the top of that range gives INT_MAX again.
    const qint64 largest = query.next() ? query.value(0).toLongLong() : 0;
    return int(qBound(qint64(std::numeric_limits<int>::min()), largest,
                      qint64(std::numeric_limits<int>::max() - 1)))
        + 1;
}
