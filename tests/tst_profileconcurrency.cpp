#include <profile.h>

#include "workspace.h"

#include <QCoreApplication>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

namespace {

constexpr int threadCount = 4;
constexpr int rounds = 400;
constexpr int sharedKeys = 32;
constexpr int lateKeys = 64;

QString sharedKey(int i)
{
    return QStringLiteral("shared/%1").arg(i);
}

QString lateKey(int i)
{
    return QStringLiteral("late/%1").arg(i);
}

QString ownKey(int thread, int i)
{
    return QStringLiteral("thread%1/%2").arg(thread).arg(i);
}

} // namespace

// Several threads read, miss, write and remove settings at once. Run it under ThreadSanitizer
// too: what it checks besides the values is that no two of them touch the cache unguarded.
class tst_ProfileConcurrency : public QObject
{
    Q_OBJECT

private slots:
    void readersAndWritersAtOnce();
};

void tst_ProfileConcurrency::readersAndWritersAtOnce()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(workspace.createDatabaseFiles());
    QStringList rows;
    for (int i = 0; i < sharedKeys; ++i)
        rows << QStringLiteral("insert into profile values ('%1', %2)").arg(sharedKey(i)).arg(i);
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"), rows));

    Profile profile(QStringLiteral("profile.db"));

    // Rows written after the start are not in the cache: every thread misses them at about the
    // same time and must find them in the table, on its own connection.
    rows.clear();
    for (int i = 0; i < lateKeys; ++i)
        rows << QStringLiteral("insert into profile values ('%1', %2)").arg(lateKey(i)).arg(i);
    QVERIFY(Workspace::execute(QStringLiteral("profile.db"), rows));

    std::atomic<int> failures{ 0 };
    std::atomic<bool> go{ false };
    auto check = [&](bool ok) {
        if (!ok)
            ++failures;
    };

    // Plain threads: Qt 5's own thread bookkeeping is invisible to ThreadSanitizer and would
    // drown the report in noise that is not the store's.
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            while (!go.load())
                std::this_thread::yield();
            for (int i = 0; i < rounds; ++i) {
                check(profile.value(sharedKey(i % sharedKeys), -1).toInt() == i % sharedKeys);
                check(profile.value(lateKey(i % lateKeys), -1).toInt() == i % lateKeys);
                check(profile.value(QStringLiteral("absent/%1").arg(i % 8), -1).toInt() == -1);

                const QString own = ownKey(t, i % 4);
                profile.setValue(own, i, i % 16 == 0);
                check(profile.value(own, -1).toInt() == i);
                if (i % 32 == 31)
                    profile.remove(ownKey(t, 3));
                if (i % 64 == 0)
                    check(profile.keys().size() >= sharedKeys);
            }
            // Leave one saved row per thread to look for afterwards.
            profile.setValue(ownKey(t, 0), QStringLiteral("done %1").arg(t), true);
        });
    }
    go = true;
    for (std::thread &thread : threads)
        thread.join();

    QCOMPARE(failures.load(), 0);
    for (int t = 0; t < threadCount; ++t) {
        QCOMPARE(Workspace::storedSetting(ownKey(t, 0)),
                 QVariant(QStringLiteral("done %1").arg(t)));
        QCOMPARE(profile.value(ownKey(t, 0)), QVariant(QStringLiteral("done %1").arg(t)));
    }
    for (int i = 0; i < lateKeys; ++i)
        QCOMPARE(profile.value(lateKey(i)), QVariant(qlonglong(i)));
}

QTEST_GUILESS_MAIN(tst_ProfileConcurrency)
#include "tst_profileconcurrency.moc"
