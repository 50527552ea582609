#include "HeadlessDisplay.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

constexpr int startTimeoutMs = 30000;
const QString screenSize = u"1280x800"_s;

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
    m_server.setStandardErrorFile(m_dir.filePath(u"server.log"_s));
    if (m_kind == Kind::X11) {
        // Xvfb picks a free display and writes its number to the descriptor given (stdout).
        m_server.start(u"Xvfb"_s, {u"-displayfd"_s, u"1"_s, u"-screen"_s, u"0"_s,
                                   screenSize + u"x24"_s, u"-nolisten"_s, u"tcp"_s});
        const bool up = QTest::qWaitFor(
            [this] { return m_server.canReadLine() || m_server.state() == QProcess::NotRunning; },
            startTimeoutMs);
        m_name = up ? u":"_s + QString::fromLatin1(m_server.readLine()).trimmed() : QString();
    } else {
        // The debug flag lets weston-screenshooter take pictures.
        m_name = u"tovo-test-%1"_s.arg(QCoreApplication::applicationPid());
        const QString socket = qEnvironmentVariable("XDG_RUNTIME_DIR") + u'/' + m_name;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"WAYLAND_DISPLAY"_s);
        environment.remove(u"DISPLAY"_s);
        m_server.setProcessEnvironment(environment);
        const QStringList size = screenSize.split(u'x');
        m_server.start(u"weston"_s,
                       {u"--backend=headless-backend.so"_s, u"--use-pixman"_s,
                        u"--shell=desktop-shell.so"_s, u"--socket="_s + m_name, u"--debug"_s,
                        u"--width="_s + size.at(0), u"--height="_s + size.at(1)});
        const bool up = QTest::qWaitFor(
            [&] { return QFile::exists(socket) || m_server.state() == QProcess::NotRunning; },
            startTimeoutMs);
        if (!up || m_server.state() == QProcess::NotRunning)
            m_name.clear();
    }
    if (m_name.isEmpty()) {
        QFile log(m_dir.filePath(u"server.log"_s));
        m_problem = m_server.program() + u" did not start: "_s +
                    (log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll())
                                                   : m_server.errorString());
        return false;
    }
    return true;
}

void HeadlessDisplay::addTo(QProcessEnvironment& environment) const
{
    const bool x11 = m_kind == Kind::X11;
    environment.remove(x11 ? u"WAYLAND_DISPLAY"_s : u"DISPLAY"_s);
    environment.insert(x11 ? u"DISPLAY"_s : u"WAYLAND_DISPLAY"_s, m_name);
    environment.insert(u"QT_QPA_PLATFORM"_s, x11 ? u"xcb"_s : u"wayland"_s);
}

QImage HeadlessDisplay::screenshot(const QString& fileName) const
{
    QProcess shooter;
    shooter.setWorkingDirectory(m_dir.path());
    // weston-screenshooter writes wayland-screenshot-<time>.png into its working folder.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    addTo(environment);
    shooter.setProcessEnvironment(environment);
    shooter.start(u"weston-screenshooter"_s, QStringList());
    const QString folder = qEnvironmentVariable("TOVO_TEST_OUTPUT_DIR");
    const QString path = folder + u'/' + fileName;
    if (!shooter.waitForFinished(30000) || !QDir().mkpath(folder))
        return {};
    const QStringList shots =
        QDir(m_dir.path()).entryList({u"wayland-screenshot-*.png"_s}, QDir::Files, QDir::Time);
    QFile::remove(path);
    return !shots.isEmpty() && QFile::rename(m_dir.filePath(shots.first()), path) ? QImage(path)
                                                                                  : QImage();
}
