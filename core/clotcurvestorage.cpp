#include "analysisresult.h"

#include "clotcurverecord_p.h"
#include "profile.h"
#include "sqlwarning_p.h"

#include <QSqlQuery>

// The source locations in the warnings below are those the application's log has always shown
// for these steps; they are kept so that existing log readers still find them.

ClotCurve ClotCurve::fromBuffer(const QByteArray &record)
{
    ClotCurve curve;
    if (!record.isEmpty())
        ClotCurveRecord::decode(record, &curve.m_type, &curve.m_segments);
    return curve;
}

void ClotCurve::save(int patientId, const QString &item) const
{
    QSqlQuery query(Profile::instance().dataDatabase());
    if (isEmpty()) {
        if (!query.prepare(
                QStringLiteral("delete from curve where patientId=:patientId and item=:item")))
            warnSqlError(".\\analysisresult(88):", query.lastError());
    } else {
        const QByteArray record = ClotCurveRecord::encode(*this);
        if (record.isNull())
            return;
        if (!query.prepare(QStringLiteral("insert into curve (patientId, item, curve) "
                                          "values(:patientId, :item, :curve)")))
            warnSqlError(".\\analysisresult(94):", query.lastError());
        query.bindValue(QStringLiteral(":curve"), record);
    }
    query.bindValue(QStringLiteral(":patientId"), patientId);
    query.bindValue(QStringLiteral(":item"), item);
    if (!query.exec())
        warnSqlError(".\\analysisresult(106):", query.lastError());
}

void ClotCurve::load(int patientId, const QString &item)
{
    QSqlQuery query(Profile::instance().dataDatabase());
    query.setForwardOnly(true);
    if (!query.prepare(
            QStringLiteral("select curve from curve where patientId=:patientId and item=:item")))
        warnSqlError(".\\analysisresult(113):", query.lastError());
    query.bindValue(QStringLiteral(":patientId"), patientId);
    query.bindValue(QStringLiteral(":item"), item);
    if (!query.exec())
        warnSqlError(".\\analysisresult(119):", query.lastError());

    PointType type = m_type;
    QVector<Segment> segments;
    if (query.next()) {
        const QByteArray record = query.value(0).toByteArray();
        if (!record.isEmpty())
            ClotCurveRecord::decode(record, &type, &segments);
    }
    m_type = type;
    m_segments = segments;
}
