#include "main_args.h"

#include "version.h"

#include <QCommandLineParser>

namespace ombrix {

EditorCommandLine ParseEditorCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Ombrix and Tandrel: an editor and automatic solver of grid-painting "
                       "puzzles."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and end."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and end."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("PUZZLE"),
                                 QStringLiteral("A puzzle file (.omx) or grid text (any other name) "
                                                "to open at start-up."),
                                 QStringLiteral("[PUZZLE]"));

    EditorCommandLine line;
    QString problem;
    if (!parser.parse(arguments))
        problem = parser.errorText();
    else if (parser.positionalArguments().size() > 1)
        problem = QStringLiteral("more than one puzzle file: %1")
                      .arg(parser.positionalArguments().mid(1).join(QLatin1Char(' ')));
    if (!problem.isEmpty()) {
        line.exit = true;
        line.exitCode = 1;
        line.err = QStringLiteral("ombrix: %1\n\n%2").arg(problem, parser.helpText());
        return line;
    }
    if (parser.isSet(help)) {
        line.exit = true;
        line.out = parser.helpText();
        return line;
    }
    if (parser.isSet(version)) {
        line.exit = true;
        line.out = QStringLiteral("ombrix " OMBRIX_VERSION "\n");
        return line;
    }
    line.puzzlePath = parser.positionalArguments().value(0);
    return line;
}

} // namespace ombrix
