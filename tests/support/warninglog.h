#ifndef WARNINGLOG_H
#define WARNINGLOG_H

#include <QStringList>

// While it lives, takes the warnings written through Qt's message handler and keeps their texts,
// in order, instead of printing them. One at a time.
class WarningLog
{
public:
    WarningLog();
    ~WarningLog();
    Q_DISABLE_COPY(WarningLog)

    QStringList warnings() const;
};

#endif // WARNINGLOG_H
