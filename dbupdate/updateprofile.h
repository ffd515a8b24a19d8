#ifndef UPDATEPROFILE_H
#define UPDATEPROFILE_H

#include "updatebase.h"

// Brings profile.db, the settings file, to schema version 2 and writes its default settings and
// reagent definitions; the labels among them are translated in this class's context.
class UpdateProfile : public UpdateBase
{
    Q_OBJECT

public:
    explicit UpdateProfile(QObject *parent = nullptr);

    bool update() override;
};

#endif // UPDATEPROFILE_H
