// The C library's sleep and round come first on purpose: the library's overloads must still be
// callable beside them.
#include <cmath>
#include <unistd.h>

#include <cgglobal.h>

#include "messageboxwatcher.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <limits>

using MessageFunction
    = QMessageBox::StandardButton (*)(const QString &, QMessageBox::StandardButtons,
                                      QMessageBox::StandardButton);
Q_DECLARE_METATYPE(MessageFunction)
Q_DECLARE_METATYPE(QMessageBox::StandardButton)
Q_DECLARE_METATYPE(QMessageBox::StandardButtons)

class tst_UiHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void messageBox_data();
    void messageBox();
    void messageBoxParent();
    void messageBoxShowsArrowOverWaitCursor();
    void nestedWaitCursors();
    void nestedBoolLockers();
    void sleepBlocksWithoutEvents_data();
    void sleepBlocksWithoutEvents();
    void sleepAcceptsNothingToWait_data();
    void sleepAcceptsNothingToWait();
    void messageWithoutWidgetsGoesToMessageHandler();
    void messageWithoutWidgetsReturnsDefaultButton();
};

void tst_UiHelpers::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("凝血工作站"));
}

void tst_UiHelpers::messageBox_data()
{
    QTest::addColumn<MessageFunction>("function");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::addColumn<QMessageBox::StandardButtons>("buttons");
    QTest::addColumn<QMessageBox::StandardButton>("defaultButton");
    QTest::addColumn<QMessageBox::StandardButton>("click");

    QTest::newRow("information, one button")
        << MessageFunction(information) << QMessageBox::Information
        << QMessageBox::StandardButtons(QMessageBox::Ok) << QMessageBox::NoButton
        << QMessageBox::Ok;
    QTest::newRow("question, No as default")
        << MessageFunction(question) << QMessageBox::Question
        << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << QMessageBox::No;
    QTest::newRow("question, answered against the default")
        << MessageFunction(question) << QMessageBox::Question
        << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::No << QMessageBox::Yes;
    QTest::newRow("warning, Ok only") << MessageFunction(warning) << QMessageBox::Warning
                                      << QMessageBox::StandardButtons(QMessageBox::Ok)
                                      << QMessageBox::NoButton << QMessageBox::Ok;
    QTest::newRow("critical, Retry as default")
        << MessageFunction(critical) << QMessageBox::Critical
        << (QMessageBox::Retry | QMessageBox::Cancel) << QMessageBox::Retry << QMessageBox::Cancel;
}

void tst_UiHelpers::messageBox()
{
    QFETCH(MessageFunction, function);
    QFETCH(QMessageBox::Icon, icon);
    QFETCH(QMessageBox::StandardButtons, buttons);
    QFETCH(QMessageBox::StandardButton, defaultButton);
    QFETCH(QMessageBox::StandardButton, click);

    MessageBoxWatcher watcher(click);
    const QString text = QStringLiteral("无法打开数据库文件 data.db");
    QCOMPARE(function(text, buttons, defaultButton), click);

    const QList<ShownMessageBox> shown = watcher.takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].icon, icon);
    QCOMPARE(shown[0].title, QStringLiteral("凝血工作站"));
    QCOMPARE(shown[0].text, text);
    QCOMPARE(shown[0].buttons, buttons);
    // Without a default of the caller's the box picks its own.
    if (defaultButton != QMessageBox::NoButton)
        QCOMPARE(shown[0].defaultButton, defaultButton);
    QCOMPARE(shown[0].parent, nullptr);
    QVERIFY(shown[0].windowFlags.testFlag(Qt::Dialog));
    QVERIFY(shown[0].windowFlags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
}

void tst_UiHelpers::messageBoxParent()
{
    QWidget window;
    auto *child = new QWidget(&window);
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    Q_UNUSED(child);

    MessageBoxWatcher watcher;
    information(QStringLiteral("x"), QMessageBox::Ok, QMessageBox::NoButton);
    const QList<ShownMessageBox> shown = watcher.takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].parent, &window);
}

void tst_UiHelpers::messageBoxShowsArrowOverWaitCursor()
{
    MessageBoxWatcher watcher;
    {
        WaitCursor busy;
        warning(QStringLiteral("x"), QMessageBox::Ok, QMessageBox::NoButton);
        QVERIFY(QGuiApplication::overrideCursor());
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);

    const QList<ShownMessageBox> shown = watcher.takeShown();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].overrideCursor, Qt::ArrowCursor);
}

void tst_UiHelpers::nestedWaitCursors()
{
    {
        WaitCursor outer(Qt::BusyCursor);
        {
            WaitCursor inner(Qt::CrossCursor);
            QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::CrossCursor);
        }
        QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::BusyCursor);
    }
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
}

void tst_UiHelpers::nestedBoolLockers()
{
    bool flag = false;
    {
        BoolLocker outer(flag, true);
        QCOMPARE(flag, true);
        {
            BoolLocker inner(flag, false);
            QCOMPARE(flag, false);
            flag = true; // whatever the flag holds, the locker restores its own value
        }
        QCOMPARE(flag, true);
    }
    QCOMPARE(flag, false);
}

void tst_UiHelpers::sleepBlocksWithoutEvents_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("20 ms") << 20;
    QTest::newRow("120 ms") << 120;
}

void tst_UiHelpers::sleepBlocksWithoutEvents()
{
    QFETCH(int, ms);
    bool timerFired = false;
    QTimer::singleShot(0, this, [&] { timerFired = true; });

    QElapsedTimer elapsed;
    elapsed.start();
    sleep(ms);
    QVERIFY2(elapsed.elapsed() >= ms, qPrintable(QString::number(elapsed.elapsed())));
    QVERIFY(!timerFired);
    QTRY_VERIFY(timerFired);
}

void tst_UiHelpers::sleepAcceptsNothingToWait_data()
{
    QTest::addColumn<int>("ms");
    QTest::newRow("zero") << 0;
    QTest::newRow("negative") << -1;
    QTest::newRow("most negative") << std::numeric_limits<int>::min();
}

void tst_UiHelpers::sleepAcceptsNothingToWait()
{
    QFETCH(int, ms);
    // A wrong reading of these would block for days; anything that returns is right.
    sleep(ms);
}

void tst_UiHelpers::messageWithoutWidgetsGoesToMessageHandler()
{
    // A console program: the probe has only a QCoreApplication, and its settings files in an
    // empty directory draw warnings that must reach stderr instead of a box.
    QTemporaryDir dir;
    QProcess probe;
    probe.setWorkingDirectory(dir.path());
    probe.start(QStringLiteral(PROFILEPROBE), { QStringLiteral("value"), QStringLiteral("x") });
    QVERIFY(probe.waitForFinished());
    QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
    QCOMPARE(probe.exitCode(), 0);
    const QString errors = QString::fromUtf8(probe.readAllStandardError());
    QVERIFY2(errors.contains(QStringLiteral("错误的配置文件 profile.db")), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("错误的数据库文件 data.db")), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("错误的数据库文件 qc.db")), qPrintable(errors));
    QCOMPARE(probe.readAllStandardOutput(), QByteArray("<none>\n"));
}

void tst_UiHelpers::messageWithoutWidgetsReturnsDefaultButton()
{
    QProcess probe;
    probe.start(QStringLiteral(PROFILEPROBE),
                { QStringLiteral("ask"), QStringLiteral("删除样本？") });
    QVERIFY(probe.waitForFinished());
    QCOMPARE(probe.exitCode(), 0);
    QCOMPARE(probe.readAllStandardOutput().trimmed(), QByteArray::number(QMessageBox::No));
    QVERIFY(QString::fromUtf8(probe.readAllStandardError()).contains(QStringLiteral("删除样本？")));
}

QTEST_MAIN(tst_UiHelpers)
#include "tst_uihelpers.moc"
