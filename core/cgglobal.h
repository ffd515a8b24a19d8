#ifndef CGGLOBAL_H
#define CGGLOBAL_H

#include <core_export.h>

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QVariant>

class QDate;
class QSqlRecord;

// The enumerations the library shares with the application.
namespace cg {

// The kind of a sample; it decides the prefix of its sample number.
enum SampleType : int {
    RoutineSample = 0,
    StatimSample = 1,
    QcSample = 2,
};

// Bits of an analysis result's flags. The library reads those named here; the application's
// other bits pass through unchanged.
enum ResultFlag : int {
    DilutedResult = 0x2,
    BelowReportLimit = 0x4,
    AboveReportLimit = 0x8, // shown only without BelowReportLimit
    BelowMarkLimit = 0x10,
    AboveMarkLimit = 0x20, // shown only without BelowMarkLimit
    ManualTest = 0x1000,
    ManualInput = 0x8000,
};

} // namespace cg

// The library's free functions live in the global namespace, beside the C library's. They are
// overloads told apart by their parameter lists: sleep(int) next to ::sleep(unsigned) and
// round(double, int, char) next to ::round(double), so none of them may gain default arguments
// that would make a one-argument call ambiguous.

// Modal message boxes titled with the application name, parented to the active modal widget or
// window. Without a QApplication, or off its thread, the text goes to Qt's message handler as a
// warning and defaultButton is returned.
CORE_EXPORT QMessageBox::StandardButton information(const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton question(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton warning(const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
CORE_EXPORT QMessageBox::StandardButton critical(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);

// The first ratio in text (numerator, ':' or '/', denominator, each an optional sign and digits
// with an optional decimal point; white space around the sign between them) as numerator divided
// by denominator, or 0.0 when there is none. *ok, when given, tells whether a ratio was found; a
// zero denominator still counts as found and gives an infinity or a NaN. The pattern is compiled
// once and may be used from any thread.
CORE_EXPORT double fraction(const QString &text, bool *ok);

// text evaluated as a script program in an engine of its own, its completion value converted to
// a variant: a number as a double, an empty program as an invalid variant. Errors are not
// reported as such; check the type of the result.
CORE_EXPORT QVariant eval(const QString &text);

// value rounded as QString::number(value, format, precision) rounds it in decimal.
CORE_EXPORT double round(double value, int precision, char format);

// The dilution ratios offered to the user, from "1/1" to "4/5", in the form fraction() reads.
CORE_EXPORT QStringList dilutionList();

// The configured prefix of the sample numbers of a statim or quality-control sample ("S" and
// "QC" when none is configured); empty for a routine sample or any other type.
CORE_EXPORT QString samplePrefix(cg::SampleType type);

// One more than the largest number among the sample numbers of the patients of date in data.db
// (their leading integer, text without one counting as 0), or 1 for a day without any. Nothing
// is reserved. Failures are written as warnings and give 1; a largest number that leaves no room
// above it in an int gives INT_MAX.
CORE_EXPORT int nextSampleNo(const QDate &date);

// Sets the value of record's field name (looked up ignoring case) and marks it generated, so that
// the statements built from the record write it. A name the record lacks changes nothing.
CORE_EXPORT void setGeneratedValue(QSqlRecord &record, const QString &name, const QVariant &value);

// Blocks the calling thread for ms milliseconds without processing events; ms <= 0 returns at once.
CORE_EXPORT void sleep(int ms);

// Shows shape as the application's override cursor for the object's lifetime. Nested objects
// behave like the override-cursor stack they push onto. Does nothing without a QGuiApplication.
class CORE_EXPORT WaitCursor
{
public:
    explicit WaitCursor(Qt::CursorShape shape = Qt::WaitCursor);
    ~WaitCursor();
    // Copying would pop a cursor that was never pushed.
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &);
};

// Gives flag the value for the locker's lifetime and then restores the value it had before.
class CORE_EXPORT BoolLocker
{
public:
    BoolLocker(bool &flag, bool value);
    ~BoolLocker();

private:
    Q_DISABLE_COPY(BoolLocker)
    bool *const m_flag;
    const bool m_previous;
};

// An empty class kept for the applications that use it: it holds and does nothing.
class CORE_EXPORT Core
{
public:
    Core();
    ~Core();
    Core(const Core &) = default;
    Core &operator=(const Core &);
};

#endif // CGGLOBAL_H
