#ifndef ANALYSISRESULT_H
#define ANALYSISRESULT_H

#include <cgglobal.h>
#include <core_export.h>

#include <QSharedData>
#include <QString>
#include <QVariant>
#include <QVector>

// The reaction curve of one test: the cuvette's signal over time, as runs of evenly spaced
// points. The points of all segments are numbered together from 0, in segment order.
//
// A curve is a value: copies, segments(), simplified() and toType() results share the point data
// until one of them is changed.
class CORE_EXPORT ClotCurve
{
public:
    // Stored as a 32-bit signed number; a stored value the library does not know is kept as it
    // is, and no conversion is offered from it.
    enum PointType : qint32 {
        Raw = 0, // detector readings of transmitted light
        OpticalDensity = 1, // optical densities against the curve's own baseline
    };

    // Point k lies at x = start + k * step and has y = values[k]; the x of a point is not stored.
    struct Segment
    {
        double start;
        double step;
        QVector<double> values;
    };

    ClotCurve();

    PointType type() const { return m_type; }
    // Relabels the values; they are not converted.
    void setType(PointType type) { m_type = type; }

    QVector<Segment> segments() const { return m_segments; }
    void setSegments(const QVector<Segment> &segments) { m_segments = segments; }
    void append(const Segment &segment);
    void append(double start, double step, const QVector<double> &values);

    // True without segments: a curve whose segments hold no values is not empty.
    bool isEmpty() const { return m_segments.isEmpty(); }
    // The number of points of all segments together.
    int size() const;

    // The x and y of point i in the overall numbering; 0.0 for an i that is negative or at or
    // past size(). Costs a walk over the segments, not over the points.
    double x(int i) const;
    double y(int i) const;

    // Removes count points starting at point from. Later points of a segment move down and take
    // the x positions of the removed ones; a segment left without values is dropped, segments
    // that were already without values stay. A range past the end stops there; a negative from
    // or a count of 0 or less changes nothing.
    void remove(int from, int count);

    ClotCurve simplified() const;

    // A copy converted to type. Only Raw to OpticalDensity converts; any other pair gives an
    // unchanged copy. The conversion turns the first segment into optical densities against the
    // mean of the one x unit of readings from x 3.0 on (the baseline); the points before the
    // middle of that window become 0.0, the rest log10(baseline / reading), at most 5.0. Further
    // segments keep their values. A reading that is not a number stays not a number.
    //
    // The first segment becomes all 0.0 when no baseline can be had from it: when it ends before
    // the window begins, when its start is not finite or its step is 0, negative or not finite
    // (its points have no usable x), or when the baseline is 0, negative or not finite.
    ClotCurve toType(PointType type) const;

    // The curve stored as a record: big-endian, the type as qint32, the segment count as quint32,
    // then per segment start, step, the value count as quint32 and the values, doubles as IEEE
    // 754. Bytes after a complete record are ignored. A record that is cut short or announces
    // more than it holds gives a curve without segments and a warning; an empty one gives a new
    // curve without a warning.
    static ClotCurve fromBuffer(const QByteArray &record);

    // Writes the curve as the record of (patientId, item) in the curve table of data.db, or
    // deletes the rows of that key when the curve has no segments. Failures are written as
    // warnings.
    void save(int patientId, const QString &item) const;
    // Replaces the curve with the first record stored for (patientId, item). Without a usable
    // record the curve ends without segments and keeps its type.
    void load(int patientId, const QString &item);

private:
    PointType m_type;
    QVector<Segment> m_segments;
};

Q_DECLARE_TYPEINFO(ClotCurve::Segment, Q_MOVABLE_TYPE);
Q_DECLARE_TYPEINFO(ClotCurve, Q_MOVABLE_TYPE);
Q_DECLARE_METATYPE(ClotCurve)

// The result of one test item on one sample: value, optical density, curve, report flags
// (cg::ResultFlag) and an error state. Copies share one record until one of them is changed.
class CORE_EXPORT AnalysisResult
{
public:
    // Codes outside the named ones may be stored; they have no default text.
    enum ErrorCode : qint32 {
        NoError = 0,
        InvalidValue = 1,
        UnknownError = 2,
        NullResult = 3,
        NoStandardCurve = 4,
        InvalidStandardCurve = 5,
        StandardCurveSettingError = 6,
        InvalidCalculationMethod = 7,
        MissingParameter = 8,
        NotClotted = 9,
    };

    // Any value other than Full formats as ValueOnly.
    enum Format : int {
        Full = 0, // prefix marks, value, suffix marks
        ValueOnly = 1,
    };

    static const double nullValue; // 0.0: setValue() of it makes the result null
    static const double notClottedValue; // 999.9: setValue() of it makes the error NotClotted
    static const double invalidOD; // 0.0

    // A null result: error NullResult, value nullValue.
    AnalysisResult();
    // Classifies value as setValue() does.
    AnalysisResult(double value);
    // Value nullValue and the given error, without an error text.
    AnalysisResult(ErrorCode error);
    // Copies count references without calling into the library: the count heads the record.
    AnalysisResult(const AnalysisResult &other) noexcept : d(other.d) { d->ref.ref(); }
    AnalysisResult &operator=(const AnalysisResult &other) noexcept
    {
        other.d->ref.ref();
        release();
        d = other.d;
        return *this;
    }
    ~AnalysisResult() { release(); }

    double value() const;
    operator double() const { return value(); }
    // Stores value and makes the error NullResult for nullValue, NotClotted for notClottedValue
    // and NoError for anything else; the error text stays.
    void setValue(double value);

    double od() const;
    void setOD(double od);
    ClotCurve curve() const;
    void setCurve(const ClotCurve &curve);
    int id() const;
    void setId(int id);
    int ch() const;
    void setCh(int ch);

    int flags() const;
    void setFlags(int flags);
    // Sets or clears every bit of flag.
    void setFlag(cg::ResultFlag flag, bool on);
    // True if any bit of flag is set.
    bool testFlag(cg::ResultFlag flag) const;
    bool isManualTest() const;
    void setManualTest(bool on);

    ErrorCode error() const;
    // Sets the code and clears the error text.
    void setError(ErrorCode error);
    // Stores the text and makes the error UnknownError.
    void setErrorText(const QString &text);
    void clearErrorText();
    // The stored error text, or when it is empty the translated default text of the code.
    QString errorText() const;

    bool isValid() const;
    bool isNull() const;
    bool isCopyOf(const AnalysisResult &other) const;

    // The display text. Without an error: the value as QString::number(value, numberFormat,
    // precision) gives it, with Full framed by prefix() and suffix(), each followed or preceded
    // by one space when not empty. A result that did not clot (error NotClotted or value
    // notClottedValue) shows the setting result_not_clotted, other errors except NullResult the
    // setting result_can_not_be_calculated, a null result the empty string.
    QString toString(Format format = Full, char numberFormat = 'g', int precision = 6) const;
    // The marks of the flags, as configured in the settings.
    QString prefix() const;
    QString suffix() const;
    // The value as a double variant when the error is NoError or NotClotted, otherwise an
    // invalid variant.
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
