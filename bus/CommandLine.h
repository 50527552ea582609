#pragma once
// A program's command line as read before its application object exists: --help and --version
// are answered and an unknown option is refused without a display, a bus or a settings file (a
// GUI application object needs a display). Everything else the program takes (its arguments,
// the bus's activation flag, Qt's own options) is let through untouched for it to read as ever.

#include <QList>
#include <QString>
#include <optional>

class CommandLine {
public:
    // An argument as --help shows it: "launched" with the syntax "[launched]".
    struct Argument {
        QString name;
        QString syntax;
        QString description;
    };
    enum class Kind {
        // QApplication: Qt's options (-platform, -display, -style ...), the activation flag of
        // our D-Bus service files and the desktop entries' --action are let through.
        Gui,
        // QCoreApplication, never started by the bus: only --help and --version.
        Core,
    };
    // The exit status of a command line that names an unknown option or misses a value.
    static constexpr int usageError = 2;

    CommandLine(QString program, QString version, QString description, QList<Argument> arguments,
                Kind kind);

    // The exit status when the program ends here: 0 after --help (the help on standard output)
    // or --version, usageError after a bad option (the message and a short usage on standard
    // error); nothing when the program goes on.
    std::optional<int> handle(int argc, const char* const* argv) const;

private:
    QString usageLine() const;

    QString m_program;
    QString m_version;
    QString m_description;
    QList<Argument> m_arguments;
    Kind m_kind;
};
