#ifndef RESULTTEXTS_P_H
#define RESULTTEXTS_P_H

#include <QString>

// The named settings a result's display text is made of, each read with the library's own
// translated default.
namespace ResultTexts {

QString manualInputMark();
QString dilutionMark();
QString lowerReportLimitMark();
QString upperReportLimitMark();
QString lowerMarkLimitMark();
QString upperMarkLimitMark();
QString notClotted();
QString cannotBeCalculated();

} // namespace ResultTexts

#endif // RESULTTEXTS_P_H
