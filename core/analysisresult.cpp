#include "analysisresult.h"

#include "analysisresult_p.h"
#include "profile.h"

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

AnalysisResult::AnalysisResult() : d(&sharedNull()) { }

AnalysisResult::AnalysisResult(double value) : d(new Data(sharedNull()))
{
    setValue(value);
}

AnalysisResult::AnalysisResult(ErrorCode error) : d(new Data(sharedNull()))
{
    d->error = error;
}

AnalysisResult::AnalysisResult(const AnalysisResult &other) = default;

AnalysisResult &AnalysisResult::operator=(const AnalysisResult &other) = default;

AnalysisResult::~AnalysisResult() = default;

double AnalysisResult::value() const
{
    return d->value;
}

void AnalysisResult::setValue(double value)
{
    d->value = value;
    if (value == nullValue)
        d->error = NullResult;
    else if (value == notClottedValue)
        d->error = NotClotted;
    else
        d->error = NoError;
}

double AnalysisResult::od() const
{
    return d->od;
}

void AnalysisResult::setOD(double od)
{
    d->od = od;
}

ClotCurve AnalysisResult::curve() const
{
    return d->curve;
}

void AnalysisResult::setCurve(const ClotCurve &curve)
{
    d->curve = curve;
}

int AnalysisResult::id() const
{
    return d->id;
}

void AnalysisResult::setId(int id)
{
    d->id = id;
}

int AnalysisResult::ch() const
{
    return d->ch;
}

void AnalysisResult::setCh(int ch)
{
    d->ch = ch;
}

int AnalysisResult::flags() const
{
    return d->flags;
}

void AnalysisResult::setFlags(int flags)
{
    d->flags = flags;
}

void AnalysisResult::setFlag(cg::ResultFlag flag, bool on)
{
    if (on)
        d->flags |= flag;
    else
        d->flags &= ~int(flag);
}

bool AnalysisResult::testFlag(cg::ResultFlag flag) const
{
    return (d->flags & flag) != 0;
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
    return d->error;
}

void AnalysisResult::setError(ErrorCode error)
{
    d->error = error;
    d->errorText.clear();
}

void AnalysisResult::setErrorText(const QString &text)
{
    d->errorText = text;
    d->error = UnknownError;
}

void AnalysisResult::clearErrorText()
{
    d->errorText.clear();
}

QString AnalysisResult::errorText() const
{
    if (!d->errorText.isEmpty())
        return d->errorText;
    switch (d->error) {
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
    return d->error == NoError;
}

bool AnalysisResult::isNull() const
{
    return d->error == NullResult;
}

bool AnalysisResult::isCopyOf(const AnalysisResult &other) const
{
    return d.constData() == other.d.constData();
}

QString AnalysisResult::toString(Format format, char numberFormat, int precision) const
{
    if (d->error == NoError) {
        const QString number = QString::number(d->value, numberFormat, precision);
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
    if (d->error == NotClotted || d->value == notClottedValue)
        return Profile::instance().result_not_clotted(Profile::tr("不凝"));
    if (d->error != NullResult)
        return Profile::instance().result_can_not_be_calculated(Profile::tr("---.-"));
    return QString();
}

QString AnalysisResult::prefix() const
{
    Profile &profile = Profile::instance();
    QString marks;
    if (testFlag(cg::ManualInput))
        marks += profile.manual_input_flag(Profile::tr("M"));
    if (testFlag(cg::DilutedResult))
        marks += profile.dilution_result_flag(Profile::tr("!"));
    if (testFlag(cg::BelowReportLimit))
        marks += profile.lower_report_limit_flag(Profile::tr("<"));
    else if (testFlag(cg::AboveReportLimit))
        marks += profile.upper_report_limit_flag(Profile::tr(">"));
    return marks;
}

QString AnalysisResult::suffix() const
{
    Profile &profile = Profile::instance();
    if (testFlag(cg::BelowMarkLimit))
        return profile.lower_mark_limit_flag(Profile::tr("↓"));
    if (testFlag(cg::AboveMarkLimit))
        return profile.upper_mark_limit_flag(Profile::tr("↑"));
    return QString();
}

QVariant AnalysisResult::toVariant() const
{
    if (d->error == NoError || d->error == NotClotted)
        return d->value;
    return QVariant();
}
