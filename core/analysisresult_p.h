#ifndef ANALYSISRESULT_P_H
#define ANALYSISRESULT_P_H

#include "analysisresult.h"

#include <QSharedData>

struct AnalysisResult::Data : public QSharedData
{
    int id = 0;
    double value = AnalysisResult::nullValue;
    double od = AnalysisResult::invalidOD;
    int flags = 0;
    AnalysisResult::ErrorCode error = AnalysisResult::NullResult;
    QString errorText;
    ClotCurve curve;
    int ch = 0;
};

#endif // ANALYSISRESULT_P_H
