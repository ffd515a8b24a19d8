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
    void missDoesNotUndoConcurrentWrite();
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

void tst_ProfileConcurrency::missDoesNotUndoConcurrentWrite()
{
    Workspace workspace;
    QVERIFY(workspace.isValid());
    QVERIFY(workspace.createDatabaseFiles());
    Profile profile(QStringLiteral("profile.db"));

    // In each round one thread misses a key, which means a trip to the table, while the other
    // sets that key. Whatever the order, the value set is what the key must hold afterwards: a
    // miss that read the table before the write must not record its stale "absent" over it.
    constexpr int raceRounds = 200;
    std::atomic<int> arrived{ 0 };
    auto waitForBoth = [&](int round) {
        ++arrived;
        while (arrived.load() < 2 * (round + 1))
            std::this_thread::yield();
    };
    const auto key = [](int round) {
        return QStringLiteral("race/%1").arg(round);
    };

    std::thread reader([&] {
        for (int round = 0; round < raceRounds; ++round) {
            waitForBoth(round);
            profile.value(key(round));
        }
    });
    std::thread writer([&] {
        for (int round = 0; round < raceRounds; ++round) {
            waitForBoth(round);
            profile.setValue(key(round), round, round % 2 == 0);
        }
    });
    reader.join();
    writer.join();

    int undone = 0;
    for (int round = 0; round < raceRounds; ++round) {
        if (profile.value(key(round), -1).toInt() != round)
            ++undone;
    }
    QCOMPARE(undone, 0);
}

QTEST_GUILESS_MAIN(tst_ProfileConcurrency)
#include "tst_profileconcurrency.moc"
