#include "analysisresult.h"

#include "analysisresult_p.h"
#include "resulttexts_p.h"

#include <QObject>

const double AnalysisResult::nullValue = 0.0;
const double AnalysisResult::notClottedValue = 999.9;
const double AnalysisResult::invalidOD = 0.0;

// Made on first use rather than at load time, so that results constructed by other libraries'
// static initialisers find it ready. The reference it holds on itself keeps it from being freed.
AnalysisResult::Data &AnalysisResult::sharedNull()
{
    struct SharedNull : Data
    {
        SharedNull() { ref.ref(); }
    };
    static SharedNull data;
    return data;
}

AnalysisResult::AnalysisResult() : d(&sharedNull())
{
    d->ref.ref();
}

AnalysisResult::AnalysisResult(double value) : d(new Data(sharedNull()))
{
    d->ref.ref();
    setValue(value);
}

AnalysisResult::AnalysisResult(ErrorCode error) : d(new Data(sharedNull()))
{
    d->ref.ref();
    detach()->error = error;
}

const AnalysisResult::Data *AnalysisResult::data() const
{
    return static_cast<const Data *>(d);
}

AnalysisResult::Data *AnalysisResult::detach()
{
    if (d->ref.loadRelaxed() != 1) {
        Data *copy = new Data(*data());
        copy->ref.ref();
        release();
        d = copy;
    }
    return static_cast<Data *>(d);
}

void AnalysisResult::destroy(QSharedData *record)
{
    delete static_cast<Data *>(record);
}

double AnalysisResult::value() const
{
    return data()->value;
}

void AnalysisResult::setValue(double value)
{
    Data *record = detach();
    record->value = value;
    if (value == nullValue)
        record->error = NullResult;
    else if (value == notClottedValue)
        record->error = NotClotted;
    else
        record->error = NoError;
}

double AnalysisResult::od() const
{
    return data()->od;
}

void AnalysisResult::setOD(double od)
{
    detach()->od = od;
}

ClotCurve AnalysisResult::curve() const
{
    return data()->curve;
}

void AnalysisResult::setCurve(const ClotCurve &curve)
{
    detach()->curve = curve;
}

int AnalysisResult::id() const
{
    return data()->id;
}

void AnalysisResult::setId(int id)
{
    detach()->id = id;
}

int AnalysisResult::ch() const
{
    return data()->ch;
}

void AnalysisResult::setCh(int ch)
{
    detach()->ch = ch;
}

int AnalysisResult::flags() const
{
    return data()->flags;
}

void AnalysisResult::setFlags(int flags)
{
    detach()->flags = flags;
}

void AnalysisResult::setFlag(cg::ResultFlag flag, bool on)
{
    Data *record = detach();
    if (on)
        record->flags |= flag;
    else
        record->flags &= ~int(flag);
}

bool AnalysisResult::testFlag(cg::ResultFlag flag) const
{
    return (data()->flags & flag) != 0;
}

bool AnalysisResult::isManualTest() const
{
    return testFlag(cg::ManualTest);
}

void AnalysisResult::setManualTest(bool on)
{
    setFlag(cg::ManualTest, on);
}

AnalysisResult::ErrorCode AnalysisResult::error() const
{
    return data()->error;
}

void AnalysisResult::setError(ErrorCode error)
{
    Data *record = detach();
    record->error = error;
    record->errorText.clear();
}

void AnalysisResult::setErrorText(const QString &text)
{
    Data *record = detach();
    record->errorText = text;
    record->error = UnknownError;
}

void AnalysisResult::clearErrorText()
{
    detach()->errorText.clear();
}

QString AnalysisResult::errorText() const
{
    if (!data()->errorText.isEmpty())
        return data()->errorText;
    switch (data()->error) {
    case InvalidValue:
        return QObject::tr("无效的值");
    case UnknownError:
        return QObject::tr("未知错误");
    case NullResult:
        return QObject::tr("结果为空");
    case NoStandardCurve:
        return QObject::tr("无标准曲线");
    case InvalidStandardCurve:
        return QObject::tr("标准曲线无效");
    case StandardCurveSettingError:
        return QObject::tr("标准曲线设置错误");
    case InvalidCalculationMethod:
        return QObject::tr("无效的计算方法");
    case MissingParameter:
        return QObject::tr("计算所需的参数不存在");
    default:
        return QString();
    }
}

bool AnalysisResult::isValid() const
{
    return data()->error == NoError;
}

bool AnalysisResult::isNull() const
{
    return data()->error == NullResult;
}

bool AnalysisResult::isCopyOf(const AnalysisResult &other) const
{
    return d == other.d;
}

QString AnalysisResult::toString(Format format, char numberFormat, int precision) const
{
    if (data()->error == NoError) {
        const QString number = QString::number(data()->value, numberFormat, precision);
        if (format != Full)
            return number;
        const QString before = prefix();
        const QString after = suffix();
        QString text;
        text.reserve(before.size() + number.size() + after.size() + 2);
        if (!before.isEmpty())
            text += before + QLatin1Char(' ');
        text += number;
        if (!after.isEmpty())
            text += QLatin1Char(' ') + after;
        return text;
    }
    if (data()->error == NotClotted || data()->value == notClottedValue)
        return ResultTexts::notClotted();
    if (data()->error != NullResult)
        return ResultTexts::cannotBeCalculated();
    return QString();
}

QString AnalysisResult::prefix() const
{
    QString marks;
    if (testFlag(cg::ManualInput))
        marks += ResultTexts::manualInputMark();
    if (testFlag(cg::DilutedResult))
        marks += ResultTexts::dilutionMark();
    if (testFlag(cg::BelowReportLimit))
        marks += ResultTexts::lowerReportLimitMark();
    else if (testFlag(cg::AboveReportLimit))
        marks += ResultTexts::upperReportLimitMark();
    return marks;
}

QString AnalysisResult::suffix() const
{
    if (testFlag(cg::BelowMarkLimit))
        return ResultTexts::lowerMarkLimitMark();
    if (testFlag(cg::AboveMarkLimit))
        return ResultTexts::upperMarkLimitMark();
    return QString();
}

QVariant AnalysisResult::toVariant() const
{
    if (data()->error == NoError || data()->error == NotClotted)
        return data()->value;
    return QVariant();
}
