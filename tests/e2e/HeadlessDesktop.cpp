#include "HeadlessDesktop.h"

#include <QDir>
#include <QFile>
#include <QTest>

HeadlessDesktop::~HeadlessDesktop()
{
    if (session.state() == QProcess::NotRunning)
        return;
    // The session script tears everything down when its standard input closes.
    session.closeWriteChannel();
    if (!session.waitForFinished(15000)) {
        session.kill();
        session.waitForFinished(5000);
    }
}

bool HeadlessDesktop::start(const QProcessEnvironment& base)
{
    const QString script = qEnvironmentVariable("TOVO_TEST_SOURCE_DIR") +
                           QStringLiteral("/scripts/headless-session.sh");
    const QString envFile = folder.filePath(QStringLiteral("session.env"));
    session.setProcessEnvironment(base);
    session.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    session.setStandardOutputFile(QProcess::nullDevice());
    session.start(script,
                  {QStringLiteral("--env-file"), envFile, QStringLiteral("--notification-log"),
                   folder.filePath(QStringLiteral("notifications.log"))});
    const bool up = QTest::qWaitFor(
        [&] { return QFile::exists(envFile) || session.state() == QProcess::NotRunning; }, 60000);
    if (!up || !QFile::exists(envFile)) {
        problem = QStringLiteral("the headless session did not start (%1)").arg(script);
        return false;
    }
    env = base;
    QFile file(envFile);
    if (!file.open(QIODevice::ReadOnly)) {
        problem = file.errorString();
        return false;
    }
    for (const QByteArray& line : file.readAll().split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            env.insert(QString::fromUtf8(line.left(equals)),
                       QString::fromUtf8(line.mid(equals + 1)));
    }
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    return true;
}

QProcessEnvironment HeadlessDesktop::environment() const
{
    return env;
}

QList<HeadlessDesktop::Notification> HeadlessDesktop::notifications() const
{
    QFile log(folder.filePath(QStringLiteral("notifications.log")));
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const auto decoded = [](const QByteArray& field) {
        return QString::fromUtf8(QByteArray::fromBase64(field));
    };
    QList<Notification> list;
    // The hook writes whole lines; a line still being written has fewer fields and waits.
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() == 4)
            list.append({decoded(fields[0]), decoded(fields[1]), decoded(fields[2]),
                         QString::fromUtf8(fields[3])});
    }
    return list;
}

QString HeadlessDesktop::screenshot(const QString& fileName) const
{
    const QString folderPath = qEnvironmentVariable("TOVO_TEST_OUTPUT_DIR");
    if (folderPath.isEmpty() || !QDir().mkpath(folderPath))
        return {};
    const QString path = QDir(folderPath).filePath(fileName);
    runX11Tool(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), path});
    return QFile::exists(path) ? path : QString();
}

QStringList HeadlessDesktop::trayIconOwners() const
{
    // Docked icons are reparented into trayer's "panel" window; xwininfo names each window's
    // class in parentheses: 0x600003 "title": ("tovo" "tovo")  22x22+0+0 ...
    QStringList owners;
    bool inPanel = false;
    int panelIndent = 0;
    const QString tree =
        runX11Tool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    for (const QString& line : tree.split(QLatin1Char('\n'))) {
        const int indent = static_cast<int>(line.size() - line.trimmed().size());
        if (line.contains(QStringLiteral("(\"panel\" \"trayer\")"))) {
            inPanel = true;
            panelIndent = indent;
            continue;
        }
        if (!inPanel || !line.trimmed().startsWith(QStringLiteral("0x")))
            continue;
        if (indent <= panelIndent) {
            inPanel = false;
            continue;
        }
        const qsizetype open = line.indexOf(QStringLiteral(": (\""));
        if (open >= 0) {
            const qsizetype from = open + 4;
            owners.append(line.mid(from, line.indexOf(QLatin1Char('"'), from) - from));
        }
    }
    return owners;
}

QString HeadlessDesktop::runX11Tool(const QString& program, const QStringList& arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(program, arguments);
    if (!tool.waitForFinished(30000))
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput());
}
