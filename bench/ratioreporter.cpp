#include "ratioreporter.h"

#include <cstdio>

namespace {

std::vector<Comparison> &comparisons()
{
    static std::vector<Comparison> registered;
    return registered;
}

} // namespace

int registerComparison(const Comparison &comparison)
{
    comparisons().push_back(comparison);
    return int(comparisons().size());
}

void RatioReporter::ReportRuns(const std::vector<Run> &runs)
{
    for (const Run &run : runs) {
        if (run.error_occurred)
            continue;
        // With repetitions the median speaks for the benchmark; a single repetition has none.
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if (run.run_type != Run::RT_Iteration && !median)
            continue;
        Measurement &m = m_measurements[run.run_name.str()];
        if (m.fromMedian && !median)
            continue;
        m.fromMedian = median;
        m.realTime = run.GetAdjustedRealTime();
        const auto items = run.counters.find("items_per_second");
        if (items != run.counters.end())
            m.itemsPerSecond = items->second.value;
    }
    ConsoleReporter::ReportRuns(runs);
}

bool RatioReporter::printRatios() const
{
    bool complete = true;
    std::printf("\n%-48s %-48s %9s %8s  %s\n", "subject", "peer", "ratio", "goal", "");
    for (const Comparison &c : comparisons()) {
        const auto subject = m_measurements.find(c.subject);
        const auto peer = m_measurements.find(c.peer);
        if (subject == m_measurements.end() || peer == m_measurements.end()) {
            // A filter may leave one side out; that is not a failure of the measurement.
            continue;
        }
        const double ratio = c.kind == Comparison::Speed
            ? peer->second.realTime / subject->second.realTime
            : subject->second.itemsPerSecond / peer->second.itemsPerSecond;
        if (!(ratio > 0))
            complete = false;
        const char *verdict = c.goal <= 0 ? "(no goal)"
            : ratio >= c.goal             ? "(goal met)"
                                          : "(goal missed)";
        std::printf("%-48s %-48s %8.2fx %7.2fx  %s %s\n", c.subject.c_str(), c.peer.c_str(), ratio,
                    c.goal, c.summary.c_str(), verdict);
    }
    return complete;
}
