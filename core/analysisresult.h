#ifndef ANALYSISRESULT_H
#define ANALYSISRESULT_H

#include <cgglobal.h>
#include <core_export.h>

#include <QSharedData>
#include <QString>
#include <QVariant>
#include <QVector>

/// \file analysisresult.h
/// The analysis data model: the reaction curve of a test (ClotCurve) and the result of a test
/// (AnalysisResult).

/// The reaction curve of one test: the cuvette's signal over time, as runs of evenly spaced
/// points. The points of all segments are numbered together from 0, in segment order.
///
/// A curve is a value: copies, segments(), simplified() and toType() results share the point data
/// until one of them is changed. It owns nothing outside itself; save() and load() reach data.db
/// through Profile::instance().
///
/// Threading: no locks are taken. Copies may live in different threads, since the shared vectors
/// count their references atomically; one object must not be changed from two threads at once.
/// save() and load() must run on a thread that may use the data.db connection of Profile.
class CORE_EXPORT ClotCurve
{
public:
    /// What the y values mean. Stored as a 32-bit signed number; a stored value the library does
    /// not know is kept as it is, and no conversion is offered from it.
    enum PointType : qint32 {
        Raw = 0, ///< Detector readings of transmitted light, as received.
        OpticalDensity = 1, ///< Optical densities against the curve's own baseline.
    };

    /// A run of evenly spaced points. Point k lies at x = start + k * step and has
    /// y = values[k]; the x of a point is not stored.
    struct Segment
    {
        double start; ///< The x of the first point.
        double step; ///< The x distance between neighbouring points; expected to be positive.
        QVector<double> values; ///< The y of each point, in x order.
    };

    /// A Raw curve without segments.
    ClotCurve();

    /// What the y values mean.
    PointType type() const { return m_type; }
    /// Relabels the values as \a type; they are not converted.
    void setType(PointType type) { m_type = type; }

    /// The segments, sharing their values with the curve until either is changed.
    QVector<Segment> segments() const { return m_segments; }
    /// Replaces all segments; the type stays.
    void setSegments(const QVector<Segment> &segments) { m_segments = segments; }
    /// Adds \a segment at the end.
    void append(const Segment &segment);
    /// Adds a segment of \a values starting at x \a start, \a step apart, at the end.
    void append(double start, double step, const QVector<double> &values);

    /// True without segments: a curve whose segments hold no values is not empty.
    bool isEmpty() const { return m_segments.isEmpty(); }
    /// The number of points of all segments together.
    int size() const;

    /// The x of point \a i in the overall numbering; 0.0 for an \a i that is negative or at or
    /// past size(). Costs a walk over the segments, not over the points.
    double x(int i) const;
    /// The y of point \a i in the overall numbering; 0.0 for an \a i that is negative or at or
    /// past size(). Costs a walk over the segments, not over the points.
    double y(int i) const;

    /// Removes \a count points starting at point \a from. Later points of a segment move down
    /// and take the x positions of the removed ones; a segment left without values is dropped,
    /// segments that were already without values stay. A range past the end stops there; a
    /// negative \a from or a \a count of 0 or less changes nothing.
    void remove(int from, int count);

    /// An equal copy of the curve, whatever the number of its segments.
    ClotCurve simplified() const;

    /// A copy converted to \a type. Only Raw to OpticalDensity converts; any other pair gives an
    /// unchanged copy. The conversion turns the first segment into optical densities against the
    /// mean of the one x unit of readings from x 3.0 on (the baseline); the points before the
    /// middle of that window become 0.0, the rest log10(baseline / reading), at most 5.0. Further
    /// segments keep their values. A reading that is not a number stays not a number.
    ///
    /// The first segment becomes all 0.0 when no baseline can be had from it: when it ends before
    /// the window begins, when its start is not finite or its step is 0, negative or not finite
    /// (its points have no usable x), or when the baseline is 0, negative or not finite.
    ClotCurve toType(PointType type) const;

    /// The curve stored as \a record: big-endian, the type as qint32, the segment count as
    /// quint32, then per segment start, step, the value count as quint32 and the values, doubles
    /// as IEEE 754. Bytes after a complete record are ignored. A record that is cut short or
    /// announces more than it holds gives a curve without segments and a warning; an empty one
    /// gives a new curve without a warning.
    static ClotCurve fromBuffer(const QByteArray &record);

    /// Writes the curve as the record of (\a patientId, \a item) in the curve table of data.db,
    /// or deletes the rows of that key when the curve has no segments. Failures are written as
    /// warnings.
    void save(int patientId, const QString &item) const;
    /// Replaces the curve with the first record stored for (\a patientId, \a item). Without a
    /// usable record the curve ends without segments and keeps its type.
    void load(int patientId, const QString &item);

private:
    PointType m_type;
    QVector<Segment> m_segments;
};

Q_DECLARE_TYPEINFO(ClotCurve::Segment, Q_MOVABLE_TYPE);
Q_DECLARE_TYPEINFO(ClotCurve, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(ClotCurve)

/// The result of one test item on one sample: value, optical density, curve, report flags
/// (cg::ResultFlag) and an error state, with an identifier and the measuring channel.
///
/// A result is an implicitly shared value: copies share one record until one of them is changed.
/// It owns nothing outside itself; toString(), prefix() and suffix() read the configured marks
/// and texts from the named settings of Profile::instance().
///
/// Threading: the reference count is atomic, so copies of one result may be held and destroyed
/// in different threads. One object must not be changed from two threads at once; the display
/// functions use the named settings, which are meant for one thread at a time.
class CORE_EXPORT AnalysisResult
{
public:
    /// The state of a result. Codes outside the named ones may be stored; they have no default
    /// text.
    enum ErrorCode : qint32 {
        NoError = 0, ///< A valid value.
        InvalidValue = 1, ///< Default text "无效的值" (invalid value).
        UnknownError = 2, ///< Default text "未知错误" (unknown error); set by setErrorText().
        NullResult = 3, ///< No result; default text "结果为空" (result is empty).
        NoStandardCurve = 4, ///< Default text "无标准曲线" (no standard curve).
        InvalidStandardCurve = 5, ///< Default text "标准曲线无效" (standard curve invalid).
        /// Default text "标准曲线设置错误" (standard curve set up wrongly).
        StandardCurveSettingError = 6,
        /// Default text "无效的计算方法" (invalid calculation method).
        InvalidCalculationMethod = 7,
        /// Default text "计算所需的参数不存在" (a parameter the calculation needs does not exist).
        MissingParameter = 8,
        NotClotted = 9, ///< The sample did not clot; no default text.
    };

    /// What toString() shows. Any value other than Full formats as ValueOnly.
    enum Format : int {
        Full = 0, ///< Prefix marks, value, suffix marks.
        ValueOnly = 1, ///< The value alone.
    };

    static const double nullValue; ///< 0.0: setValue() of it makes the result null.
    static const double notClottedValue; ///< 999.9: setValue() of it makes the error NotClotted.
    static const double invalidOD; ///< 0.0: the optical density of a result that has none.

    /// A null result: error NullResult, value nullValue.
    AnalysisResult();
    /// A result of \a value, classified as setValue() does.
    AnalysisResult(double value);
    /// Value nullValue and \a error, without an error text.
    AnalysisResult(ErrorCode error);
    /// A result sharing the record of \a other. Copies count references without calling into
    /// the library: the count heads the record.
    AnalysisResult(const AnalysisResult &other) noexcept : d(other.d) { d->ref.ref(); }
    /// Shares the record of \a other, releasing this result's own.
    AnalysisResult &operator=(const AnalysisResult &other) noexcept
    {
        other.d->ref.ref();
        release();
        d = other.d;
        return *this;
    }
    /// Releases the record; the last result that shares it frees it.
    ~AnalysisResult() { release(); }

    /// The result value.
    double value() const;
    /// The result value, so that a result can stand where a number is expected.
    operator double() const { return value(); }
    /// Stores \a value and makes the error NullResult for nullValue, NotClotted for
    /// notClottedValue and NoError for anything else; the error text stays.
    void setValue(double value);

    /// The optical density belonging to the result; invalidOD by default.
    double od() const;
    /// Sets the optical density to \a od.
    void setOD(double od);
    /// The reaction curve of the test, sharing its points with the result.
    ClotCurve curve() const;
    /// Sets the reaction curve to \a curve.
    void setCurve(const ClotCurve &curve);
    /// An identifier given by the application; the library gives it no meaning. 0 by default.
    int id() const;
    /// Sets the identifier to \a id.
    void setId(int id);
    /// The measuring channel that produced the result; 0 by default.
    int ch() const;
    /// Sets the measuring channel to \a ch.
    void setCh(int ch);

    /// The report flags: bits of cg::ResultFlag and the application's own bits.
    int flags() const;
    /// Replaces all flags with \a flags.
    void setFlags(int flags);
    /// Sets every bit of \a flag when \a on is true, clears them otherwise.
    void setFlag(cg::ResultFlag flag, bool on);
    /// True if any bit of \a flag is set.
    bool testFlag(cg::ResultFlag flag) const;
    /// True if cg::ManualTest is set.
    bool isManualTest() const;
    /// Sets cg::ManualTest when \a on is true, clears it otherwise.
    void setManualTest(bool on);

    /// The state of the result.
    ErrorCode error() const;
    /// Sets the code to \a error and clears the error text.
    void setError(ErrorCode error);
    /// Stores \a text and makes the error UnknownError.
    void setErrorText(const QString &text);
    /// Clears the error text; the code stays.
    void clearErrorText();
    /// The stored error text, or when it is empty the default text of the code, translated in
    /// the context "QObject"; empty for NoError, NotClotted and unnamed codes.
    QString errorText() const;

    /// True when the error is NoError.
    bool isValid() const;
    /// True when the error is NullResult.
    bool isNull() const;
    /// True when this result and \a other share one record.
    bool isCopyOf(const AnalysisResult &other) const;

    /// The display text. Without an error: the value as QString::number(value, \a numberFormat,
    /// \a precision) gives it, with Full framed by prefix() and suffix(), each followed or
    /// preceded by one space when not empty. A result that did not clot (error NotClotted or
    /// value notClottedValue) shows the setting result_not_clotted, other errors except
    /// NullResult the setting result_can_not_be_calculated, a null result the empty string.
    /// The texts' defaults are translated in the context "Profile".
    QString toString(Format format = Full, char numberFormat = 'g', int precision = 6) const;
    /// The marks shown before the value: manual input, diluted, below or above the report limit,
    /// as configured in the named settings.
    QString prefix() const;
    /// The mark shown after the value: below or above the mark limit, as configured in the
    /// named settings.
    QString suffix() const;
    /// The value as a double variant when the error is NoError or NotClotted, otherwise an
    /// invalid variant.
    QVariant toVariant() const;

private:
    struct Data;
    static Data &sharedNull();
    const Data *data() const;
    // Makes the record this result's own, copying it when it is shared, and returns it.
    Data *detach();
    void release() noexcept
    {
        if (!d->ref.deref())
            destroy(d);
    }
    static void destroy(QSharedData *record);

    QSharedData *d;
};

Q_DECLARE_TYPEINFO(AnalysisResult, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(AnalysisResult)

#endif // ANALYSISRESULT_H
