// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include "app/Manual.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace lumidot {

namespace {

constexpr int kUsageError = 2;

// The options QGuiApplication and QApplication take themselves: accepted
// here so that they are no error, and listed by --help.
struct QtOption {
    const char* name;
    const char* value;   // nullptr: a switch
    const char* what;
};
constexpr QtOption kQtOptions[] = {
    {"platform", "name[:options]", "Qt: the windowing platform plugin (xcb, wayland, offscreen)"},
    {"platformpluginpath", "path", "Qt: where to look for platform plugins"},
    {"platformtheme", "theme", "Qt: the platform theme"},
    {"plugin", "plugin", "Qt: load an additional input plugin"},
    {"qwindowgeometry", "geometry", "Qt: the main window's size and place (WxH+X+Y)"},
    {"geometry", "geometry", "Qt (X11): the same as -qwindowgeometry"},
    {"qwindowicon", "icon", "Qt: the windows' icon"},
    {"qwindowtitle", "title", "Qt: the main window's title"},
    {"display", "hostname:screen", "Qt (X11): the X display"},
    {"style", "style", "Qt: the widget style (Fusion, Windows)"},
    {"stylesheet", "file", "Qt: a style sheet for the whole program"},
    {"reverse", nullptr, "Qt: lay the windows out right to left"},
    {"session", "session", "Qt: restore a session"},
    {"widgetcount", nullptr, "Qt: print the number of widgets left at exit"},
};

void describe(QCommandLineParser& parser)
{
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Lumidot %1: editor for the display and the effects of the KORG NS5R,\n"
                       "driven by MIDI System Exclusive. It opens its window, and FILE in it.")
            .arg(QString::fromLatin1(kVersion)));
    parser.addOption({{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Print this help and exit.")});
    parser.addOption({QStringLiteral("version"), QStringLiteral("Print the version and exit.")});
    for (const QtOption& option : kQtOptions) {
        const QString name = QString::fromLatin1(option.name);
        const QString what = QString::fromLatin1(option.what);
        if (option.value)
            parser.addOption({name, what, QString::fromLatin1(option.value)});
        else
            parser.addOption({name, what});
    }
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A file to open: .lumidot, .syx, .mid, .prt or .exc."),
                                 QStringLiteral("[FILE]"));
}

// The parser's help, with the program's own name in the usage line (the
// parser takes the name of whatever process runs it) and Qt's options
// written with one dash, as Qt documents them; both forms work.
QString helpText(const QCommandLineParser& parser)
{
    QString text = parser.helpText();
    text = QStringLiteral("Usage: lumidot [options] [FILE]") + text.mid(text.indexOf(QLatin1Char('\n')));
    QStringList names;
    for (const QtOption& option : kQtOptions)
        names << QString::fromLatin1(option.name);
    const QRegularExpression qtOption(QStringLiteral("^  --(%1)((?: <\\S+>)?)( {2,})").arg(names.join('|')),
                                      QRegularExpression::MultilineOption);
    return text.replace(qtOption, QStringLiteral("  -\\1\\2\\3 "));
}

void printHelp(const QCommandLineParser& parser, std::ostream& out)
{
    out << helpText(parser).toStdString();
    const QStringList folders = manualFolders();
    const QString manual = findManual(folders);
    if (!manual.isEmpty())
        out << "\nmanual: " << manual.toStdString() << "\n";
    else
        out << "\nmanual: " << kManualFileName << " not found in "
            << folders.join(QStringLiteral(", ")).toStdString() << "\n";
}

} // namespace

CommandLineRequest readCommandLine(const QStringList& arguments, std::ostream& out, std::ostream& err)
{
    QCommandLineParser parser;
    describe(parser);
    if (!parser.parse(arguments)) {
        err << "lumidot: " << parser.errorText().toStdString() << "\n"
            << "Try 'lumidot --help'.\n";
        return {kUsageError, {}};
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out << "lumidot " << kVersion << "\n";
        return {0, {}};
    }
    if (parser.isSet(QStringLiteral("help"))) {
        printHelp(parser, out);
        return {0, {}};
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        err << "lumidot: one file at a time, not " << files.size() << "\n"
            << "Try 'lumidot --help'.\n";
        return {kUsageError, {}};
    }
    return {std::nullopt, files.value(0)};
}

} // namespace lumidot
