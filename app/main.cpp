#include <QApplication>
#include <QCommandLineParser>
#include <QStringList>

#include <cstdio>
#include <string_view>
#include <vector>

#include "app/simulator_app.h"

namespace {

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

QStringList argumentList(int argc, char** argv) {
    QStringList list;
    for (int i = 0; i < argc; ++i) list << QString::fromLocal8Bit(argv[i]);
    return list;
}

// Keeps only the message that ends the program (no offscreen platform, say).
void fatalMessagesOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) print(stderr, QStringLiteral("skarn: %1\n").arg(message));
}

// The arguments Qt itself does not take (-style, -platform, -reverse and the
// rest of its standard options). A QApplication removes the options it knows
// from argv; it runs here on the offscreen platform so that this works on a
// terminal without a display, and quietly: its start-up notes are not ours.
QStringList withoutQtOptions(int argc, char** argv) {
    std::vector<char*> args{argv[0]};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-platform" || arg == "--platform") {
            ++i;  // a Qt option with its value: replaced by the one below
            continue;
        }
        args.push_back(argv[i]);
    }
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    args.push_back(platformOption);
    args.push_back(offscreen);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    const QtMessageHandler previous = qInstallMessageHandler(fatalMessagesOnly);
    {
        QApplication probe(count, args.data());
    }
    qInstallMessageHandler(previous);
    return argumentList(count, args.data());
}

}  // namespace

// The window takes no arguments of its own beyond --help and --version; Qt's
// standard options pass on to Qt. Anything else is a mistake on the command
// line, reported before any window opens.
int main(int argc, char** argv) {
    if (argc <= 1) return skarn::runSkarn(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Skarn, a melee combat simulator. Opens the simulator window, which reads\n"
        "and writes charfile.cfg and equifile.cfg in the current folder; from the\n"
        "desktop menu, skarn-launch starts it in ~/.local/share/skarn."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Display this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Display the version and exit."));
    parser.addOption(help);
    parser.addOption(version);

    const auto understood = [&parser](const QStringList& args) {
        return parser.parse(args) && parser.positionalArguments().isEmpty();
    };
    if (!understood(argumentList(argc, argv)) && !understood(withoutQtOptions(argc, argv))) {
        const QString problem = parser.positionalArguments().isEmpty()
            ? parser.errorText()
            : QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().first());
        print(stderr, QStringLiteral("skarn: %1\nTry 'skarn --help' for more information.\n").arg(problem));
        return 2;
    }
    if (parser.isSet(help)) {
        // The usage line names the program as it was called.
        QCoreApplication application(argc, argv);
        print(stdout, parser.helpText() +
              QStringLiteral("\nQt's standard options, such as -style NAME and -platform NAME, are\n"
                             "passed on to Qt. See also skarn-launch(1) and skarn-cli(1).\n"));
        return 0;
    }
    if (parser.isSet(version)) {
        print(stdout, QStringLiteral("skarn " SKARN_VERSION "\n"));
        return 0;
    }
    return skarn::runSkarn(argc, argv);
}
