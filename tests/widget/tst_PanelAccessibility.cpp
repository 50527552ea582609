// The real tovo-today as a screen reader meets it over the accessibility bus (at-spi2-core's bus
// launcher and registry; pyatspi reads it, tests/widget/screen-reader.py): its window, the
// sign-in's outcome announced, and the alarm list walked with the keyboard, in each language.

#include "BusFixture.h"
#include "FakeService.h"
#include "HeadlessDisplay.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int waitMs = 120000;
const QString email = u"me@example.com"_s;
const QString password = u"right"_s;

FakeService::Answer answer(const QByteArray& target)
{
    if (target.startsWith("/resolveGUID"))
        return target.endsWith("&password=" + password.toUtf8())
                   ? FakeService::Answer(200, "<guid>GUID-A11Y</guid>")
                   : FakeService::Answer(401);
    QByteArray items;
    for (const char* item : {"db01: Disk /var: Critical|Disk /var|98% of the disk used",
                             "web02: HTTP: Major|HTTP|Answers take 9 s",
                             "mail03: Queue: Minor|Queue|120 messages wait"}) {
        const QList<QByteArray> parts = QByteArray(item).split('|');
        items += "<item><title>" + parts[0] + "</title><description>Resource: " + parts[1] +
                 "&lt;br&gt;" + parts[2] + "</description><guid>" + parts[0] + "</guid></item>";
    }
    return FakeService::Answer(200, "<rss><channel>" + items + "</channel></rss>");
}
} // namespace

class TestPanelAccessibility : public BusFixture {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { startBus(); }

    void screenReaderHearsThePanel_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("heard");
        QTest::newRow("English")
            << u"en_US"_s
            << QStringList{
                   u"window: frame: T-O-VO Today"_s,
                   u"focus: text: Password"_s,
                   u"announced: notification: Sign-in failed. Check the e-mail address and password."_s,
                   u"focus: text: Password"_s,
                   u"announced: notification: Signed in"_s,
                   u"focus: list item: Critical: db01, Disk /var, 98% of the disk used"_s,
                   u"list: list: Alarms, 3 items"_s,
                   u"focus: list item: Major: web02, HTTP, Answers take 9 s"_s,
                   u"focus: list item: Minor: mail03, Queue, 120 messages wait"_s,
                   u"focus: list item: Critical: db01, Disk /var, 98% of the disk used"_s};
        // The roles in Qt's own words, the rest in ours.
        QTest::newRow("German")
            << u"de_DE"_s
            << QStringList{
                   u"window: Rahmen: T-O-VO Today"_s,
                   u"focus: Text: Passwort"_s,
                   u"announced: Benachrichtigung: Anmeldung fehlgeschlagen. Prüfen Sie "
                   u"E-Mail-Adresse "
                   u"und Passwort."_s,
                   u"focus: Text: Passwort"_s,
                   u"announced: Benachrichtigung: Angemeldet"_s,
                   u"focus: Listenelement: Kritisch: db01, Disk /var, 98% of the disk used"_s,
                   u"list: Liste: Alarme, 3 items"_s,
                   u"focus: Listenelement: Schwer: web02, HTTP, Answers take 9 s"_s,
                   u"focus: Listenelement: Leicht: mail03, Queue, 120 messages wait"_s,
                   u"focus: Listenelement: Kritisch: db01, Disk /var, 98% of the disk used"_s};
        QTest::newRow("French")
            << u"fr_FR"_s
            << QStringList{
                   u"window: cadre: T-O-VO Today"_s,
                   u"focus: texte: Mot de passe"_s,
                   u"announced: notification: Échec de la connexion. Vérifiez l’adresse e-mail et "
                   u"le mot "
                   u"de passe."_s,
                   u"focus: texte: Mot de passe"_s,
                   u"announced: notification: Connecté"_s,
                   u"focus: élément de liste: Critique: db01, Disk /var, 98% of the disk used"_s,
                   u"list: liste: Alarmes, 3 items"_s,
                   u"focus: élément de liste: Majeure: web02, HTTP, Answers take 9 s"_s,
                   u"focus: élément de liste: Mineure: mail03, Queue, 120 messages wait"_s,
                   u"focus: élément de liste: Critique: db01, Disk /var, 98% of the disk used"_s};
    }

    void screenReaderHearsThePanel()
    {
        QFETCH(QString, language);
        HeadlessDisplay display(HeadlessDisplay::Kind::X11);
        QVERIFY2(display.start(), qPrintable(display.problem()));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        display.addTo(environment);
        QProcess accessibilityBus;
        accessibilityBus.setProcessEnvironment(environment);
        accessibilityBus.start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s});
        QProcess panel;
        const auto stop = qScopeGuard([&] {
            for (QProcess* process : {&panel, &accessibilityBus}) {
                process->terminate();
                process->waitForFinished(waitMs);
            }
        });
        QTRY_VERIFY_WITH_TIMEOUT(names()->isServiceRegistered(u"org.a11y.Bus"_s).value(), waitMs);

        FakeService service;
        service.setHandler(answer);
        for (const QString& endpoint : {u"TOVO_WEB_BASE"_s, u"TOVO_FEED_BASE"_s})
            environment.insert(endpoint, service.baseUrl());
        // Settings of its own: no account yet.
        const QTemporaryDir settings;
        environment.insert(u"XDG_CONFIG_HOME"_s, settings.path());
        environment.insert(u"LANG"_s, language + u".UTF-8"_s);
        environment.insert(u"LANGUAGE"_s, language.left(2));
        environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        panel.setProcessEnvironment(environment);
        panel.setProcessChannelMode(QProcess::ForwardedChannels);
        panel.start(QStringLiteral(TOVO_TODAY), QStringList());

        QProcess reader;
        reader.setProcessEnvironment(environment);
        reader.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        // Debian's Python, which python3-pyatspi is for.
        reader.start(u"/usr/bin/python3"_s, {qEnvironmentVariable("TOVO_TEST_SOURCE_DIR") +
                                                 u"/tests/widget/screen-reader.py"_s,
                                             u"T-O-VO Today"_s, email, u"wrong"_s, password});
        // The service answers from this event loop.
        QTRY_COMPARE_WITH_TIMEOUT(reader.state(), QProcess::NotRunning, waitMs);
        QCOMPARE(reader.exitCode(), 0);
        const QStringList heard =
            QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        QTEST(heard, "heard");
    }
};

QTEST_GUILESS_MAIN(TestPanelAccessibility)
#include "tst_PanelAccessibility.moc"
