// dbupdate [LOGFILE] [TRANSLATION...]: upgrades profile.db, data.db and qc.db in the working
// directory to schema version 2. Exits with 0 when all three succeeded, 1 otherwise.
#include "updatedata.h"
#include "updateprofile.h"
#include "updateqc.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QStringList>
#include <QTranslator>

#include <cstdio>
#include <cstdlib>

namespace {

FILE *logFile = nullptr;

// Each line is flushed as it is written: when the process aborts, the log still holds the line
// that says why and everything before it.
void messageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    const char *format = nullptr;
    switch (type) {
    case QtDebugMsg:
        format = "Debug: %s\n";
        break;
    case QtWarningMsg:
        format = "Warning: %s\n";
        break;
    case QtCriticalMsg:
        format = "Critical: %s\n";
        break;
    case QtFatalMsg:
        format = "Fatal: %s\n";
        break;
    default:
        return;
    }
    std::fprintf(logFile, format, message.toUtf8().constData());
    std::fflush(logFile);
    if (type == QtFatalMsg)
        std::abort();
}

bool loadTranslator(QTranslator &translator, const QStringList &directories,
                    const QString &fileName)
{
    for (const QString &directory : directories) {
        if (translator.load(fileName, directory, QString(), QString()))
            return true;
    }
    return false;
}

template<typename Upgrader>
bool upgrade()
{
    Upgrader upgrader;
    return upgrader.isOpen() && upgrader.update();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc > 1) {
        logFile = std::fopen(argv[1], "a");
        if (logFile)
            qInstallMessageHandler(messageHandler);
    }
    QCoreApplication app(argc, argv);

    const QStringList directories{ QStringLiteral("."), QStringLiteral(".."),
                                   QLibraryInfo::location(QLibraryInfo::TranslationsPath) };
    const QStringList arguments = QCoreApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        auto *translator = new QTranslator(&app);
        if (loadTranslator(*translator, directories, arguments.at(i)))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }

    if (!upgrade<UpdateProfile>() || !upgrade<UpdateData>() || !upgrade<UpdateQc>())
        return 1;

    if (logFile) {
        // Whatever Qt reports while shutting down goes to standard error, not to a closed file.
        qInstallMessageHandler(nullptr);
        std::fclose(logFile);
        logFile = nullptr;
    }
    return 0;
}
