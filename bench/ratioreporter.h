#ifndef RATIOREPORTER_H
#define RATIOREPORTER_H

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

// A comparison printed after the run: how the subject fares against its peer, measured in the
// same run. Speed compares the real time per iteration (peer time / subject time, above 1 means
// the subject is faster); Throughput compares items per second (subject / peer).
struct Comparison
{
    enum Kind { Speed, Throughput };
    std::string subject;
    std::string peer;
    Kind kind;
    double goal; // the ratio the subject should reach
    std::string summary; // what the ratio says, e.g. "x faster than QSettings::value"
};

// Registers a comparison for the program's closing table; returns something to initialise a
// static with.
int registerComparison(const Comparison &comparison);

#define BENCH_COMPARE(id, ...) static const int id = registerComparison(Comparison{ __VA_ARGS__ })

// Console output as usual, remembering every run for the closing table of ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override;
    // Prints the table, leaving out comparisons a filter left a side of; returns false if a
    // ratio could not be computed (a side measured nothing).
    bool printRatios() const;

private:
    struct Measurement
    {
        double realTime = 0;
        double itemsPerSecond = 0;
        bool fromMedian = false;
    };
    std::map<std::string, Measurement> m_measurements;
};

#endif // RATIOREPORTER_H
