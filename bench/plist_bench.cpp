// Decode + encode of a control-center-shaped tracked-applications list (500 rows), against
// python3's plistlib doing the same work on the same bytes in the same run.

#include "foundation/property_list.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>

using namespace velmor;

namespace {

constexpr int rowCount = 500;

PropertyList location(const QString& bundle)
{
    PropertyList inner = PropertyList::dictionary();
    inner.root().setEntry(QStringLiteral("_0"), PropertyList::string(bundle));
    PropertyList outer = PropertyList::dictionary();
    outer.root().setEntry(QStringLiteral("bundle"), inner);
    return outer;
}

PropertyList adhocLocation(const QString& path)
{
    PropertyList relative = PropertyList::dictionary();
    relative.root().setEntry(QStringLiteral("relative"),
                             PropertyList::string(QStringLiteral("file://") + path));
    PropertyList inner = PropertyList::dictionary();
    inner.root().setEntry(QStringLiteral("_0"), relative);
    PropertyList outer = PropertyList::dictionary();
    outer.root().setEntry(QStringLiteral("adhocBinary"), inner);
    return outer;
}

QByteArray trackedApplications()
{
    PropertyList rows = PropertyList::array();
    for (int i = 0; i < rowCount; ++i) {
        const QString bundle = QStringLiteral("com.example.vendor%1.app%2").arg(i % 37).arg(i);
        const bool adhoc = i % 10 == 9;
        const PropertyList key =
            adhoc ? adhocLocation(QStringLiteral("/Applications/Tool %1.app/Contents/MacOS/Tool").arg(i))
                  : location(bundle);
        PropertyList value = PropertyList::dictionary();
        value.root().setEntry(QStringLiteral("isAllowed"), PropertyList::boolean(i % 3 != 0));
        value.root().setEntry(QStringLiteral("location"), key);
        if (i % 4 == 0) {
            PropertyList items = PropertyList::array();
            for (int m = 0; m < 3; ++m)
                items.root().append(location(bundle + QStringLiteral(".item%1").arg(m)));
            value.root().setEntry(QStringLiteral("menuItemLocations"), items);
        }
        value.root().setEntry(QStringLiteral("lastSeen"), PropertyList::date(780000000 + i, 0));
        rows.root().append(key);
        rows.root().append(value);
    }
    return rows.toBinary();
}

const QByteArray& sample()
{
    static const QByteArray bytes = trackedApplications();
    return bytes;
}

double g_oursPerRow = 0;
double g_plistlibPerRow = 0;

void BM_DecodeEncode500Rows(benchmark::State& state)
{
    for (auto _ : state) {
        const PropertyList list = PropertyList::decode(sample());
        benchmark::DoNotOptimize(list.toBinary());
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}
BENCHMARK(BM_DecodeEncode500Rows)->Unit(benchmark::kMicrosecond);

void BM_PlistlibDecodeEncode500Rows(benchmark::State& state)
{
    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty()) {
        state.SkipWithError("python3 is not installed");
        return;
    }
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("rows.plist"));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(sample());
    file.close();
    const QString script = QStringLiteral(
        "import plistlib, sys, timeit\n"
        "data = open(sys.argv[1], 'rb').read()\n"
        "f = lambda: plistlib.dumps(plistlib.loads(data), fmt=plistlib.FMT_BINARY, sort_keys=False)\n"
        "n = 50\n"
        "print(min(timeit.repeat(f, number=n, repeat=5)) / n)\n");
    for (auto _ : state) {
        QProcess process;
        process.start(python, {QStringLiteral("-c"), script, path});
        process.waitForFinished(300000);
        const double seconds = process.readAllStandardOutput().trimmed().toDouble();
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}
BENCHMARK(BM_PlistlibDecodeEncode500Rows)->UseManualTime()->Iterations(1)->Unit(benchmark::kMicrosecond);

// Keeps each run's real time per row so the ratio can be printed at the end.
class RatioReporter final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            const double perRow = run.GetAdjustedRealTime() / rowCount; // in the run's time unit
            const double microsecondsPerRow =
                perRow * (run.time_unit == benchmark::kMicrosecond ? 1.0 : 1e-3);
            if (run.benchmark_name().find("Plistlib") != std::string::npos)
                g_plistlibPerRow = microsecondsPerRow;
            else
                g_oursPerRow = microsecondsPerRow;
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    if (g_oursPerRow > 0 && g_plistlibPerRow > 0)
        std::printf("per row: ours %.3f us, plistlib %.3f us, plistlib/ours = %.1fx\n", g_oursPerRow,
                    g_plistlibPerRow, g_plistlibPerRow / g_oursPerRow);
    benchmark::Shutdown();
    return 0;
}
