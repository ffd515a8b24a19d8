#ifndef UPDATEQC_H
#define UPDATEQC_H

#include "updatebase.h"

// The quality-control file needs no change for schema version 2; it is still opened like the
// others, so that an unusable qc.db does not pass unnoticed.
class UpdateQc : public UpdateBase
{
    Q_OBJECT

public:
    explicit UpdateQc(QObject *parent = nullptr);

    bool update() override;
};

#endif // UPDATEQC_H
