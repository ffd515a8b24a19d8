#ifndef CGGLOBAL_H
#define CGGLOBAL_H

#include <core_export.h>

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <QVariant>

class QDate;
class QSqlRecord;

/// \file cgglobal.h
/// The shared enumerations and the library's free functions and small scoped classes.
///
/// The library's free functions live in the global namespace, beside the C library's. They are
/// overloads told apart by their parameter lists: sleep(int) next to the C library's
/// sleep(unsigned) and round(double, int, char) next to its round(double), so none of them may
/// gain default arguments that would make a one-argument call ambiguous.
///
/// Threading: fraction(), eval(), round(), dilutionList() and sleep() may be called from any
/// thread. The message boxes and WaitCursor belong to the GUI thread. samplePrefix() reads a
/// named setting and nextSampleNo() uses the data.db connection, both of Profile::instance().

/// The enumerations the library shares with the application.
namespace cg {

/// The kind of a sample; it decides the prefix of its sample number.
enum SampleType : int {
    RoutineSample = 0, ///< A routine sample: no prefix.
    StatimSample = 1, ///< An urgent sample: the prefix statim_sample_prefix.
    QcSample = 2, ///< A quality-control sample: the prefix qc_sample_prefix.
};

/// Bits of an analysis result's flags. The library reads those named here; the application's
/// other bits pass through unchanged.
enum ResultFlag : int {
    DilutedResult = 0x2, ///< Measured diluted: mark dilution_result_flag.
    BelowReportLimit = 0x4, ///< Below the reportable range: mark lower_report_limit_flag.
    /// Above the reportable range: mark upper_report_limit_flag, shown only without
    /// BelowReportLimit.
    AboveReportLimit = 0x8,
    BelowMarkLimit = 0x10, ///< Below the reference range: mark lower_mark_limit_flag.
    /// Above the reference range: mark upper_mark_limit_flag, shown only without BelowMarkLimit.
    AboveMarkLimit = 0x20,
    /// Read and written by AnalysisResult::isManualTest() and AnalysisResult::setManualTest();
    /// shows no mark.
    ManualTest = 0x1000,
    ManualInput = 0x8000, ///< Entered by hand: mark manual_input_flag.
};

} // namespace cg

/// A modal information box showing \a text with \a buttons, titled with the application name
/// and parented to the active modal widget or window; returns the button clicked. Without a
/// QApplication, or off its thread, the text goes to Qt's message handler as a warning and
/// \a defaultButton is returned.
CORE_EXPORT QMessageBox::StandardButton information(const QString &text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton);
/// A modal question box, as information() shows one.
CORE_EXPORT QMessageBox::StandardButton question(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);
/// A modal warning box, as information() shows one.
CORE_EXPORT QMessageBox::StandardButton warning(const QString &text,
                                                QMessageBox::StandardButtons buttons,
                                                QMessageBox::StandardButton defaultButton);
/// A modal critical box, as information() shows one.
CORE_EXPORT QMessageBox::StandardButton critical(const QString &text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton);

/// The first ratio in \a text (numerator, ':' or '/', denominator, each an optional sign and
/// digits with an optional decimal point; white space around the sign between them) as numerator
/// divided by denominator, or 0.0 when there is none. *\a ok, when given, tells whether a ratio
/// was found; a zero denominator still counts as found and gives an infinity or a NaN. The
/// pattern is compiled once and may be used from any thread.
CORE_EXPORT double fraction(const QString &text, bool *ok);

/// \a text evaluated as a script program in an engine of its own, its completion value
/// converted to a variant: a number as a double, an empty program as an invalid variant. Errors
/// are not reported as such; check the type of the result.
CORE_EXPORT QVariant eval(const QString &text);

/// \a value rounded as QString::number(value, \a format, \a precision) rounds it in decimal.
CORE_EXPORT double round(double value, int precision, char format);

/// The dilution ratios offered to the user, from "1/1" to "4/5", in the form fraction() reads.
CORE_EXPORT QStringList dilutionList();

/// The configured prefix of the sample numbers of a statim or quality-control sample ("S" and
/// "QC" when none is configured); empty for a routine sample or any other \a type.
CORE_EXPORT QString samplePrefix(cg::SampleType type);

/// One more than the largest number among the sample numbers of the patients of \a date in
/// data.db (their leading integer, text without one counting as 0), or 1 for a day without any.
/// Nothing is reserved. Failures are written as warnings and give 1; a largest number that
/// leaves no room above it in an int gives INT_MAX.
CORE_EXPORT int nextSampleNo(const QDate &date);

/// Sets the value of \a record's field \a name (looked up ignoring case) to \a value and marks
/// it generated, so that the statements built from the record write it. A name the record lacks
/// changes nothing.
CORE_EXPORT void setGeneratedValue(QSqlRecord &record, const QString &name, const QVariant &value);

/// Blocks the calling thread for \a ms milliseconds without processing events; \a ms <= 0
/// returns at once.
CORE_EXPORT void sleep(int ms);

/// Shows a cursor shape as the application's override cursor for the object's lifetime. Nested
/// objects behave like the override-cursor stack they push onto. Does nothing without a
/// QGuiApplication. Belongs to the GUI thread; owns nothing but its entry on the stack.
class CORE_EXPORT WaitCursor
{
public:
    /// Pushes \a shape onto the override-cursor stack.
    explicit WaitCursor(Qt::CursorShape shape = Qt::WaitCursor);
    /// Pops the cursor pushed by the constructor.
    ~WaitCursor();
    /// Not copyable: a copy would pop a cursor that was never pushed.
    WaitCursor(const WaitCursor &) = delete;
    /// Changes nothing: each object keeps its own entry on the stack.
    WaitCursor &operator=(const WaitCursor &);
};

/// Gives a flag a value for the locker's lifetime and then restores the value it had before.
/// The flag is the caller's and must outlive the locker; both belong to one thread.
class CORE_EXPORT BoolLocker
{
public:
    /// Remembers \a flag's value and sets it to \a value.
    BoolLocker(bool &flag, bool value);
    /// Restores the value the flag had when the locker was made.
    ~BoolLocker();

private:
    Q_DISABLE_COPY(BoolLocker)
    bool *const m_flag;
    const bool m_previous;
};

/// An empty class kept for the applications that use it: it holds and does nothing, and may be
/// used from any thread.
class CORE_EXPORT Core
{
public:
    /// Does nothing.
    Core();
    /// Does nothing.
    ~Core();
    /// Copies nothing.
    Core(const Core &) = default;
    /// Copies nothing.
    Core &operator=(const Core &);
};

#endif // CGGLOBAL_H
