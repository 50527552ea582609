#include "HeadlessDisplay.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
constexpr int startTimeoutMs = 30000;
const QString screenSize = QStringLiteral("1280x800");
} // namespace

HeadlessDisplay::HeadlessDisplay(Kind kind)
    : m_kind(kind)
{}

HeadlessDisplay::~HeadlessDisplay()
{
    if (m_server.state() == QProcess::NotRunning)
        return;
    m_server.terminate();
    if (!m_server.waitForFinished(5000))
        m_server.kill();
    m_server.waitForFinished(5000);
}

bool HeadlessDisplay::start()
{
    if (!m_dir.isValid()) {
        m_problem = m_dir.errorString();
        return false;
    }
    m_server.setProcessChannelMode(QProcess::SeparateChannels);
    m_server.setStandardErrorFile(m_dir.filePath(QStringLiteral("server.log")));
    if (m_kind == Kind::X11) {
        // Xvfb picks a free display and writes its number to the descriptor given (stdout).
        m_server.start(QStringLiteral("Xvfb"),
                       {QStringLiteral("-displayfd"), QStringLiteral("1"),
                        QStringLiteral("-screen"), QStringLiteral("0"),
                        screenSize + QStringLiteral("x24"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp")});
        const bool up = QTest::qWaitFor(
            [this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; },
            startTimeoutMs);
        m_name = up ? QStringLiteral(":") + QString::fromLatin1(m_server.readLine()).trimmed()
                    : QString();
    } else {
        // No on-screen keyboard (it would take the focus) and no screen lock; the debug flag lets
        // weston-screenshooter take pictures.
        const QString config = m_dir.filePath(QStringLiteral("weston.ini"));
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            file.write("[input-method]\npath=\n[shell]\nlocking=false\n");
        file.close();
        m_name = QStringLiteral("tovo-test-%1").arg(QCoreApplication::applicationPid());
        const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + m_name;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TOVO_TEST_KEYBOARD"), m_dir.path());
        environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        environment.remove(QStringLiteral("DISPLAY"));
        m_server.setProcessEnvironment(environment);
        const QStringList size = screenSize.split(u'x');
        m_server.start(
            QStringLiteral("weston"),
            {QStringLiteral("--config=") + config, QStringLiteral("--backend=headless-backend.so"),
             QStringLiteral("--use-pixman"), QStringLiteral("--shell=desktop-shell.so"),
             QStringLiteral("--socket=") + m_name, QStringLiteral("--debug"),
             QStringLiteral("--width=") + size.at(0), QStringLiteral("--height=") + size.at(1),
             QStringLiteral("--modules=") + QStringLiteral(TOVO_WESTON_KEYBOARD)});
        const bool up = QTest::qWaitFor(
            [&] {
                return (QFile::exists(socket) &&
                        QFile::exists(m_dir.filePath(QStringLiteral("keys")))) ||
                       m_server.state() == QProcess::NotRunning;
            },
            startTimeoutMs);
        if (!up || m_server.state() == QProcess::NotRunning)
            m_name.clear();
    }
    if (m_name.isEmpty()) {
        QFile log(m_dir.filePath(QStringLiteral("server.log")));
        m_problem = m_server.program() + QStringLiteral(" did not start: ") +
                    (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll())
                                                   : m_server.errorString());
        return false;
    }
    return true;
}

void HeadlessDisplay::addTo(QProcessEnvironment& environment) const
{
    const bool x11 = m_kind == Kind::X11;
    environment.remove(x11 ? QStringLiteral("WAYLAND_DISPLAY") : QStringLiteral("DISPLAY"));
    environment.insert(x11 ? QStringLiteral("DISPLAY") : QStringLiteral("WAYLAND_DISPLAY"), m_name);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"),
                       x11 ? QStringLiteral("xcb") : QStringLiteral("wayland"));
}

QStringList HeadlessDisplay::events() const
{
    QFile file(m_dir.filePath(QStringLiteral("events")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

qint64 HeadlessDisplay::keyboardFocus() const
{
    const QStringList focus = events().filter(QStringLiteral("focus "));
    return focus.isEmpty() ? 0 : focus.constLast().mid(6).toLongLong();
}

bool HeadlessDisplay::send(const QString& line) const
{
    QFile keys(m_dir.filePath(QStringLiteral("keys")));
    if (!keys.open(QIODevice::WriteOnly))
        return false;
    const qsizetype typed = events().filter(QStringLiteral("typed ")).size();
    keys.write((line + u'\n').toUtf8());
    keys.close();
    return QTest::qWaitFor(
        [&] { return events().filter(QStringLiteral("typed ")).size() > typed; });
}

bool HeadlessDisplay::screenshot(const QString& path) const
{
    QProcess shooter;
    shooter.setWorkingDirectory(m_dir.path());
    if (m_kind == Kind::X11) {
        shooter.start(QStringLiteral("import"),
                      {QStringLiteral("-display"), m_name, QStringLiteral("-window"),
                       QStringLiteral("root"), path});
        return shooter.waitForFinished(30000) && QFile::exists(path);
    }
    // weston-screenshooter writes wayland-screenshot-<time>.png into its working folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addTo(environment);
    shooter.setProcessEnvironment(environment);
    shooter.start(QStringLiteral("weston-screenshooter"), QStringList());
    if (!shooter.waitForFinished(30000))
        return false;
    const QStringList shots =
        QDir(m_dir.path())
            .entryList({QStringLiteral("wayland-screenshot-*.png")}, QDir::Files, QDir::Time);
    QFile::remove(path);
    return !shots.isEmpty() && QFile::rename(m_dir.filePath(shots.first()), path);
}
