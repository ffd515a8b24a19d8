#ifndef PROFILE_H
#define PROFILE_H

#include <core_export.h>

#include <QColor>
#include <QObject>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

/// \file profile.h
/// The settings store Profile and the table of its named settings.

/// The table of the named settings, one X(key, Type) row each, in the order of their slots.
///
/// Profile declares two accessors per row: the getter `Type key(const Type &defaultValue)` and
/// the setter `void set_key(const Type &value, bool save)`; the key is also the setting's name in
/// the table "profile". Colours are stored as "#rrggbb".
#define CORE_PROFILE_NAMED_SETTINGS(X)       \
    X(statim_sample_prefix, QString)         \
    X(qc_sample_prefix, QString)             \
    X(result_is_preparing, QString)          \
    X(result_can_not_be_calculated, QString) \
    X(result_is_incubating, QString)         \
    X(result_is_analysing, QString)          \
    X(result_not_clotted, QString)           \
    X(dilution_result_flag, QString)         \
    X(lower_report_limit_flag, QString)      \
    X(upper_report_limit_flag, QString)      \
    X(lower_mark_limit_flag, QString)        \
    X(upper_mark_limit_flag, QString)        \
    X(manual_input_flag, QString)            \
    X(color_of_waiting, QColor)              \
    X(color_of_dispensing, QColor)           \
    X(color_of_incubating, QColor)           \
    X(color_of_analysing, QColor)            \
    X(color_of_null_result, QColor)          \
    X(analysis_display_assay, QString)       \
    X(patient_display_fields, QString)       \
    X(max_qc_file, int)                      \
    X(qc_method, int)                        \
    X(hospital, QString)                     \
    X(is_touch_screen, bool)

class ProfilePrivate;

/// The application's settings, kept as name/value rows in the table "profile" of the settings
/// file, and the owner of the process's three database connections "profile", "data" and "qc".
///
/// The whole table is read into memory when the object is made; lookups are answered from there,
/// and a key missing from the table costs one query on its first lookup only. Files that cannot
/// be opened, or that hold no tables, are reported in a warning box (see ::warning) and do not
/// stop the program; the lookups then give the callers' defaults.
///
/// Ownership: instance() owns the process's single Profile, which lives until the library is
/// unloaded. A Profile made directly belongs to its parent or its maker. The connections stay
/// registered under their fixed names; the newest Profile's files are the ones they open.
///
/// Threading: value(), value2(), setValue(), remove() and keys() may be called from any thread;
/// one read-write lock guards the settings cache, and database statements run on the caller's
/// thread. The named getters and setters are meant for one thread at a time.
class CORE_EXPORT Profile : public QObject
{
    Q_OBJECT

public:
    /// Reads "profile.db" in the current directory and opens the three connections.
    explicit Profile(QObject *parent = nullptr);
    /// Reads the settings file \a path and opens the three connections.
    Profile(const QString &path, QObject *parent = nullptr);
    /// Destroys the object; the connections stay registered.
    ~Profile() override;

    /// The single instance over "profile.db" in the current directory, made on the first call,
    /// which belongs to the GUI thread since it may show message boxes.
    static Profile &instance();

    /// The connection "profile" of the newest Profile, opened if needed. On a thread other than
    /// the one that made that Profile, Qt would refuse it; there a connection of that thread's
    /// own to the same file is returned instead, named like the original followed by '#' and a
    /// number, and removed when the thread ends.
    QSqlDatabase database() const;
    /// The connection "data" to data.db, as database() gives "profile".
    QSqlDatabase dataDatabase() const;
    /// The connection "qc" to qc.db, as database() gives "profile".
    QSqlDatabase qcDatabase() const;

    /// The stored value of \a key, or \a defaultValue when it has none.
    QVariant value(const QString &key, const QVariant &defaultValue = QVariant());
    /// The value of \a key; when it has none, the value of \a fallbackKey; when that has none
    /// either, \a defaultValue.
    QVariant value2(const QString &key, const QString &fallbackKey,
                    const QVariant &defaultValue = QVariant());
    /// Changes the setting \a key to \a value for this process; with \a save, also in the
    /// table. An invalid value with \a save deletes the row.
    void setValue(const QString &key, const QVariant &value, bool save = true);
    /// Forgets \a key in this process and deletes its row.
    void remove(const QString &key);
    /// The keys known to this process, including those looked up but found without a value.
    QStringList keys() const;

    /// Declares the getter and the setter of one row of #CORE_PROFILE_NAMED_SETTINGS.
#define CORE_PROFILE_DECLARE_ACCESSORS(key, Type) \
    Type key(const Type &defaultValue = Type());  \
    void set_##key(const Type &value, bool save = true);
    /// \name Named settings
    /// The accessors of the rows of #CORE_PROFILE_NAMED_SETTINGS.
    ///@{

    /// A named setting: the getter `key(defaultValue)` and the setter
    /// `set_key(value, save = true)` of each row of #CORE_PROFILE_NAMED_SETTINGS.
    ///
    /// The getter remembers the setting on its first call: a setting without a stored value
    /// keeps the default of that first call for the rest of the process, and later changes
    /// through setValue() do not reach the getter until its own setter runs. The setter changes
    /// the remembered value and, with save, the table, as setValue() does.
    CORE_PROFILE_NAMED_SETTINGS(CORE_PROFILE_DECLARE_ACCESSORS)
    ///@}
#undef CORE_PROFILE_DECLARE_ACCESSORS

private:
    struct DeferredInit
    { };
    explicit Profile(DeferredInit);
    void init(const QString &path);

    template<typename T>
    T namedValue(QVariant &slot, const QString &key, const T &defaultValue);
    template<typename T>
    void setNamedValue(QVariant &slot, const QString &key, const T &value, bool save);

    /// Declares the slot that remembers one named setting.
#define CORE_PROFILE_DECLARE_SLOT(key, Type) QVariant m_##key;
    CORE_PROFILE_NAMED_SETTINGS(CORE_PROFILE_DECLARE_SLOT)
#undef CORE_PROFILE_DECLARE_SLOT

    std::unique_ptr<ProfilePrivate> d;

    Q_DISABLE_COPY(Profile)
};

#endif // PROFILE_H
