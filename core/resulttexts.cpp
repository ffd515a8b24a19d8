#include "resulttexts_p.h"

#include "profile.h"

#include <QCoreApplication>

namespace {

using Getter = QString (Profile::*)(const QString &);

// A named getter keeps the first default it is given for the rest of the process, so the
// translation is looked up once; every later display of a result passes the same text again
// without a lookup per mark.
template<Getter getter>
QString read(const char *source)
{
    static const QString translatedDefault = QCoreApplication::translate("Profile", source);
    return (Profile::instance().*getter)(translatedDefault);
}

} // namespace

QString ResultTexts::manualInputMark()
{
    return read<&Profile::manual_input_flag>(QT_TRANSLATE_NOOP("Profile", "M"));
}

QString ResultTexts::dilutionMark()
{
    return read<&Profile::dilution_result_flag>(QT_TRANSLATE_NOOP("Profile", "!"));
}

QString ResultTexts::lowerReportLimitMark()
{
    return read<&Profile::lower_report_limit_flag>(QT_TRANSLATE_NOOP("Profile", "<"));
}

QString ResultTexts::upperReportLimitMark()
{
    return read<&Profile::upper_report_limit_flag>(QT_TRANSLATE_NOOP("Profile", ">"));
}

QString ResultTexts::lowerMarkLimitMark()
{
    return read<&Profile::lower_mark_limit_flag>(QT_TRANSLATE_NOOP("Profile", "↓"));
}

QString ResultTexts::upperMarkLimitMark()
{
    return read<&Profile::upper_mark_limit_flag>(QT_TRANSLATE_NOOP("Profile", "↑"));
}

QString ResultTexts::notClotted()
{
    return read<&Profile::result_not_clotted>(QT_TRANSLATE_NOOP("Profile", "不凝"));
}

QString ResultTexts::cannotBeCalculated()
{
    return read<&Profile::result_can_not_be_calculated>(QT_TRANSLATE_NOOP("Profile", "---.-"));
}
