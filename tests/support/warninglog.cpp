#include "warninglog.h"

#include <QMutex>
#include <QtGlobal>

namespace {

QMutex mutex;
QStringList recorded;
QtMessageHandler previous = nullptr;

void record(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtWarningMsg) {
        previous(type, context, message);
        return;
    }
    QMutexLocker locker(&mutex);
    recorded << message;
}

} // namespace

WarningLog::WarningLog()
{
    recorded.clear();
    previous = qInstallMessageHandler(record);
}

WarningLog::~WarningLog()
{
    qInstallMessageHandler(previous);
}

QStringList WarningLog::warnings() const
{
    QMutexLocker locker(&mutex);
    return recorded;
}
