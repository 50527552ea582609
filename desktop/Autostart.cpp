#include "desktop/Autostart.h"

#include "base/ConfigHome.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

Autostart::Autostart(QString directory)
    : m_directory(std::move(directory))
{}

QString Autostart::defaultDirectory()
{
    return ConfigHome::path() + QStringLiteral("/autostart");
}

QString Autostart::entryPath(const QString& entryId) const
{
    return m_directory + QLatin1Char('/') + entryId + QStringLiteral(".desktop");
}

namespace {
// An Exec= argument as the desktop entry format wants it: quoted when it holds anything
// special, with '"', '`', '$' and '\' escaped inside the quotes.
QString execArgument(const QString& program)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`=%");
    if (std::none_of(program.begin(), program.end(), [](QChar c) { return reserved.contains(c); }))
        return program;
    QString quoted = QStringLiteral("\"");
    for (const QChar c : program) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
    }
    // The format unescapes '\' once more for the value as a whole, and '%' is a field code.
    return quoted.replace(QLatin1Char('\\'), QStringLiteral("\\\\"))
               .replace(QLatin1Char('%'), QStringLiteral("%%")) +
           QLatin1Char('"');
}
} // namespace

bool Autostart::setEnabled(const QString& entryId, const QString& program, bool enabled)
{
    if (program.isEmpty())
        return false;
    const QString path = entryPath(entryId);
    if (!enabled)
        return !QFile::exists(path) || QFile::remove(path);

    QFile templateFile(QStringLiteral(":/autostart/") + entryId + QStringLiteral(".desktop"));
    if (!templateFile.open(QIODevice::ReadOnly))
        return false;
    QString entry = QString::fromUtf8(templateFile.readAll());
    entry.replace(QStringLiteral("@EXEC@"), execArgument(program));

    if (!QDir().mkpath(m_directory))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entry.toUtf8());
    return file.commit();
}
