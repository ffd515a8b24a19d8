// Results: copying against std::shared_ptr, the display text against the bare number formatting
// it wraps.
#include "ratioreporter.h"

#include <analysisresult.h>
#include <profile.h>

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <memory>
#include <thread>

namespace {

// The settings store's three files, empty, in a directory of their own for the whole run.
void prepareWorkingDirectory()
{
    static QTemporaryDir dir;
    static const bool prepared = [] {
        QDir::setCurrent(dir.path());
        for (const char *file : { "profile.db", "data.db", "qc.db" }) {
            const QString name = QStringLiteral("seed");
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
                db.setDatabaseName(QString::fromLatin1(file));
                db.open();
                QSqlQuery(db).exec(
                    QStringLiteral("create table profile (name text primary key, value)"));
            }
            QSqlDatabase::removeDatabase(name);
        }
        Profile::instance();
        return true;
    }();
    Q_UNUSED(prepared)
}

struct Payload
{
    int id = 0;
    double value = 12.3;
    double od = 0.0;
    int flags = 0;
    int error = 0;
    QString errorText;
    ClotCurve curve;
    int ch = 0;
};

void copyResult(benchmark::State &state)
{
    const AnalysisResult result(12.3);
    for (auto _ : state) {
        AnalysisResult copy(result);
        benchmark::DoNotOptimize(&copy);
    }
}

// libstdc++ counts shared_ptr references without atomics while a process has never started a
// thread. The workstation application runs threads, so the peer is measured as it runs there.
void leaveSingleThreadedMode()
{
    static const bool left = [] {
        std::thread([] {}).join();
        return true;
    }();
    Q_UNUSED(left)
}

void copySharedPtr(benchmark::State &state)
{
    leaveSingleThreadedMode();
    const auto payload = std::make_shared<Payload>();
    for (auto _ : state) {
        std::shared_ptr<Payload> copy(payload);
        benchmark::DoNotOptimize(&copy);
    }
}

void toStringWithMarks(benchmark::State &state)
{
    prepareWorkingDirectory();
    AnalysisResult result(12.345);
    result.setFlag(cg::BelowReportLimit, true);
    result.setFlag(cg::AboveMarkLimit, true);
    for (auto _ : state)
        benchmark::DoNotOptimize(result.toString(AnalysisResult::Full, 'f', 2));
}

void numberOnly(benchmark::State &state)
{
    const double value = 12.345;
    for (auto _ : state)
        benchmark::DoNotOptimize(QString::number(value, 'f', 2));
}

} // namespace

BENCHMARK(copyResult)->Name("AnalysisResult copy and destroy");
BENCHMARK(copySharedPtr)->Name("std::shared_ptr copy and destroy");
BENCHMARK(toStringWithMarks)->Name("AnalysisResult::toString(Full, 'f', 2), two marks");
BENCHMARK(numberOnly)->Name("QString::number(v, 'f', 2)");

BENCH_COMPARE(copyAgainstSharedPtr, "AnalysisResult copy and destroy",
              "std::shared_ptr copy and destroy", Comparison::Speed, 1.0,
              "x the speed of a std::shared_ptr copy");
BENCH_COMPARE(toStringAgainstNumber, "AnalysisResult::toString(Full, 'f', 2), two marks",
              "QString::number(v, 'f', 2)", Comparison::Speed, 1.0 / 3.0,
              "x the speed of QString::number alone (0.33 is within 3x)");
