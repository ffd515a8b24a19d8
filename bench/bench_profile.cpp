// Settings reads: the cached Profile against QSettings over an INI file holding the same keys,
// named getters against the generic lookup, remembered misses against hits, and reads on two
// threads against one.
#include "ratioreporter.h"

#include <profile.h>

#include <QDir>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace {

constexpr int keyCount = 64;

// One settings file with keyCount keys, and the same keys in an INI file, in a temporary directory.
class Environment
{
public:
    Environment()
    {
        QDir::setCurrent(m_dir.path());
        {
            QSqlDatabase db
                = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("seed"));
            db.setDatabaseName(QStringLiteral("profile.db"));
            db.open();
            QSqlQuery query(db);
            query.exec(QStringLiteral("create table profile (name text primary key, value)"));
            db.transaction();
            query.prepare(QStringLiteral("insert into profile values (?, ?)"));
            for (const QString &key : keys()) {
                query.addBindValue(key);
                query.addBindValue(QStringLiteral("value of %1").arg(key));
                query.exec();
            }
            db.commit();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("seed"));

        QSettings ini(iniPath(), QSettings::IniFormat);
        for (const QString &key : keys())
            ini.setValue(key, QStringLiteral("value of %1").arg(key));
        ini.sync();

        profile.reset(new Profile(QStringLiteral("profile.db")));
        settings.reset(new QSettings(iniPath(), QSettings::IniFormat));
    }

    static QStringList keys()
    {
        QStringList result{ QStringLiteral("hospital") };
        for (int i = 1; i < keyCount; ++i)
            result << QStringLiteral("patient/setting%1").arg(i);
        return result;
    }

    QString iniPath() const { return m_dir.filePath(QStringLiteral("profile.ini")); }

    std::unique_ptr<Profile> profile;
    std::unique_ptr<QSettings> settings;

private:
    QTemporaryDir m_dir;
};

Environment &environment()
{
    static Environment env;
    return env;
}

// The application's keys are flat names ("hospital") and slash-separated paths.
const char *const flatKey = "hospital";
const char *const pathKey = "patient/setting12";

void profileValueHit(benchmark::State &state, const char *key)
{
    Profile &profile = *environment().profile;
    const QString name = QString::fromLatin1(key);
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.value(name));
}

void qsettingsValue(benchmark::State &state, const char *key)
{
    QSettings &settings = *environment().settings;
    const QString name = QString::fromLatin1(key);
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.value(name));
}

void namedGetter(benchmark::State &state)
{
    Profile &profile = *environment().profile;
    const QString defaultValue = QStringLiteral("default");
    profile.hospital(defaultValue);
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.hospital(defaultValue));
}

void profileValueRememberedAbsent(benchmark::State &state)
{
    Profile &profile = *environment().profile;
    const QString key = QStringLiteral("patient/absent");
    const QVariant defaultValue(7);
    profile.value(key, defaultValue);
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.value(key, defaultValue));
}

void profileValueHitThreads(benchmark::State &state)
{
    Profile &profile = *environment().profile;
    const QStringList keys = Environment::keys();
    int i = state.thread_index();
    for (auto _ : state)
        benchmark::DoNotOptimize(profile.value(keys.at(i++ % keyCount)));
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK_CAPTURE(profileValueHit, flat, flatKey)->Name("Profile::value hit");
BENCHMARK_CAPTURE(qsettingsValue, flat, flatKey)->Name("QSettings::value INI");
BENCHMARK_CAPTURE(profileValueHit, path, pathKey)->Name("Profile::value hit, path key");
BENCHMARK_CAPTURE(qsettingsValue, path, pathKey)->Name("QSettings::value INI, path key");
BENCHMARK(namedGetter)->Name("Profile::hospital after first call");
BENCHMARK(profileValueRememberedAbsent)->Name("Profile::value remembered absent");
BENCHMARK(profileValueHitThreads)
    ->Name("Profile::value hit, threads")
    ->Threads(1)
    ->Threads(2)
    ->UseRealTime();

BENCH_COMPARE(cachedAgainstQSettings, "Profile::value hit", "QSettings::value INI",
              Comparison::Speed, 4.0, "x faster than QSettings::value");
BENCH_COMPARE(cachedAgainstQSettingsPath, "Profile::value hit, path key",
              "QSettings::value INI, path key", Comparison::Speed, 4.0,
              "x faster than QSettings::value");
BENCH_COMPARE(getterAgainstValue, "Profile::hospital after first call", "Profile::value hit",
              Comparison::Speed, 3.0, "x faster than a cached Profile::value");
BENCH_COMPARE(absentAgainstHit, "Profile::value remembered absent", "Profile::value hit",
              Comparison::Speed, 1.0, "x the speed of a hit");
BENCH_COMPARE(twoThreadsAgainstOne, "Profile::value hit, threads/real_time/threads:2",
              "Profile::value hit, threads/real_time/threads:1", Comparison::Throughput, 0,
              "x the throughput of one thread");
