#include "ratioreporter.h"

#include <QCoreApplication>

// The SQL driver is a plugin, and loading plugins needs an application object.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.printRatios() ? 0 : 1;
}
