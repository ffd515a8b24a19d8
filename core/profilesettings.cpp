#include "profile.h"

// After its first call a getter must cost no more than one look at its slot: results are
// formatted with up to four marks each, and every mark is a named setting. So the slot keeps
// the setting already converted to its type.

template<typename T>
T Profile::namedValue(QVariant &slot, const QString &key, const T &defaultValue)
{
    if (!slot.isValid())
        slot = QVariant::fromValue(
            value(key, QVariant::fromValue(defaultValue)).template value<T>());
    return slot.value<T>();
}

template<typename T>
void Profile::setNamedValue(QVariant &slot, const QString &key, const T &value, bool save)
{
    slot = QVariant::fromValue(value);
    setValue(key, slot, save);
}

#define CORE_PROFILE_DEFINE_ACCESSORS(key, Type)                        \
    Type Profile::key(const Type &defaultValue)                         \
    {                                                                   \
        return namedValue(m_##key, QStringLiteral(#key), defaultValue); \
    }                                                                   \
    void Profile::set_##key(const Type &value, bool save)               \
    {                                                                   \
        setNamedValue(m_##key, QStringLiteral(#key), value, save);      \
    }
CORE_PROFILE_NAMED_SETTINGS(CORE_PROFILE_DEFINE_ACCESSORS)
#undef CORE_PROFILE_DEFINE_ACCESSORS
