#include "bus/CommandLine.h"

#include "bus/ApplicationBus.h"

#include <QCommandLineParser>
#include <QStringList>
#include <cstdio>

namespace {

struct QtOption {
    const char* name;
    bool takesValue;
};

// What QCoreApplication, QGuiApplication (with the aliases of its X11 platform) and QApplication
// take out of the command line for themselves.
constexpr QtOption qtGuiOptions[] = {
    {"qmljsdebugger", true}, {"platform", true},     {"platformpluginpath", true},
    {"platformtheme", true}, {"plugin", true},       {"qwindowgeometry", true},
    {"qwindowicon", true},   {"qwindowtitle", true}, {"reverse", false},
    {"session", true},       {"testability", false}, {"display", true},
    {"name", true},          {"nograb", false},      {"dograb", false},
    {"visual", true},        {"geometry", true},     {"icon", true},
    {"title", true},         {"style", true},        {"stylesheet", true},
    {"widgetcount", false},
};

void write(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

QCommandLineOption hidden(const QString& name, bool takesValue)
{
    QCommandLineOption option(name);
    if (takesValue)
        option.setValueName(QStringLiteral("value"));
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

} // namespace

CommandLine::CommandLine(QString program, QString version, QString description,
                         QList<Argument> arguments, Kind kind)
    : m_program(std::move(program))
    , m_version(std::move(version))
    , m_description(std::move(description))
    , m_arguments(std::move(arguments))
    , m_kind(kind)
{}

QString CommandLine::usageLine() const
{
    QString line = QStringLiteral("Usage: %1 [options]").arg(m_program);
    for (const Argument& argument : m_arguments)
        line += u' ' + argument.syntax;
    return line + u'\n';
}

std::optional<int> CommandLine::handle(int argc, const char* const* argv) const
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    // Qt's options are single-dash words ("-platform offscreen"), not bundles of letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(m_description);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    if (m_kind == Kind::Gui) {
        parser.addOption(hidden(ApplicationBus::activationFlag.mid(2), false));
        parser.addOption(hidden(ApplicationBus::actionOption.mid(2), true));
        for (const QtOption& option : qtGuiOptions)
            parser.addOption(hidden(QString::fromLatin1(option.name), option.takesValue));
    }
    for (const Argument& argument : m_arguments)
        parser.addPositionalArgument(argument.name, argument.description, argument.syntax);

    if (!parser.parse(arguments)) {
        write(stderr, QStringLiteral("%1: %2\n%3Try '%1 --help' for more information.\n")
                          .arg(m_program, parser.errorText(), usageLine()));
        return usageError;
    }
    if (parser.isSet(help)) {
        // Qt's usage line names the executable through the application object, which does not
        // exist yet.
        const QString text = parser.helpText();
        write(stdout, usageLine() + text.mid(text.indexOf(u'\n') + 1));
        return 0;
    }
    if (parser.isSet(version)) {
        write(stdout, QStringLiteral("%1 %2\n").arg(m_program, m_version));
        return 0;
    }
    return std::nullopt;
}
