#ifndef UPDATEDATA_H
#define UPDATEDATA_H

#include "updatebase.h"

// Brings data.db, the file of patients and their results, to schema version 2.
class UpdateData : public UpdateBase
{
    Q_OBJECT

public:
    explicit UpdateData(QObject *parent = nullptr);

    bool update() override;
};

#endif // UPDATEDATA_H
