// A second process over the same settings file: prints what a fresh process reads for a setting.
//   profileprobe value KEY      the stored value as text, or "<none>"
//   profileprobe NAMED-GETTER   one of the named getters below, called with its type's default
//   profileprobe ask TEXT       question(TEXT, Yes | No, No) without a GUI; prints the answer
#include <cgglobal.h>
#include <profile.h>

#include <QCoreApplication>
#include <QTextStream>

#include <functional>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    QTextStream out(stdout);
    if (args.size() == 2 && args.at(0) == QLatin1String("ask")) {
        out << question(args.at(1), QMessageBox::Yes | QMessageBox::No, QMessageBox::No) << '\n';
        return 0;
    }

    Profile &profile = Profile::instance();

    const QHash<QString, std::function<QString()>> getters = {
        { QStringLiteral("hospital"),
          [&] {
              return profile.hospital(QStringLiteral("<none>"));
          } },
        { QStringLiteral("color_of_waiting"),
          [&] {
              return profile.color_of_waiting(QColor()).name(QColor::HexArgb);
          } },
        { QStringLiteral("is_touch_screen"),
          [&] {
              return profile.is_touch_screen(false) ? QStringLiteral("true")
                                                    : QStringLiteral("false");
          } },
        { QStringLiteral("max_qc_file"),
          [&] {
              return QString::number(profile.max_qc_file(-1));
          } },
    };

    if (args.size() == 2 && args.at(0) == QLatin1String("value")) {
        const QVariant v = profile.value(args.at(1));
        out << (v.isValid() ? v.toString() : QStringLiteral("<none>")) << '\n';
        return 0;
    }
    if (args.size() == 1 && getters.contains(args.at(0))) {
        out << getters.value(args.at(0))() << '\n';
        return 0;
    }
    QTextStream(stderr)
        << "usage: profileprobe value KEY | profileprobe GETTER | profileprobe ask TEXT\n";
    return 2;
}
