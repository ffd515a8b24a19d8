#include "cgglobal.h"

#include <QSqlRecord>

void setGeneratedValue(QSqlRecord &record, const QString &name, const QVariant &value)
{
    const int index = record.indexOf(name);
    record.setValue(index, value);
    record.setGenerated(index, true);
}
