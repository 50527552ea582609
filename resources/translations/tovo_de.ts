<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AccountHealth</name>
    <message>
        <source>T-O-VO reaches the service again</source>
        <translation>T-O-VO erreicht den Dienst wieder</translation>
    </message>
    <message>
        <source>T-O-VO cannot reach the service</source>
        <translation>T-O-VO erreicht den Dienst nicht</translation>
    </message>
    <message>
        <source>No new alarms can arrive until it is reachable again. Last reason: %1.</source>
        <translation>Bis er wieder erreichbar ist, können keine neuen Alarme eintreffen. Letzter Grund: %1.</translation>
    </message>
    <message>
        <source>Not signed in. Sign in with T-O-VO Today.</source>
        <translation>Nicht angemeldet. Melden Sie sich mit T-O-VO Today an.</translation>
    </message>
    <message>
        <source>Cannot reach T-O-VO since %1: %2</source>
        <translation>T-O-VO seit %1 nicht erreichbar: %2</translation>
    </message>
    <message>
        <source>Checking for alarms…</source>
        <translation>Alarme werden abgefragt…</translation>
    </message>
    <message>
        <source>Checked at %1: 1 alarm</source>
        <translation>Abgefragt um %1: 1 Alarm</translation>
    </message>
    <message numerus="yes">
        <source>Checked at %1: %n alarms</source>
        <translation>
            <numerusform>Abgefragt um %1: %n Alarm</numerusform>
            <numerusform>Abgefragt um %1: %n Alarme</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AlarmRowViewController</name>
    <message>
        <source>Sign in…</source>
        <translation>Anmelden…</translation>
    </message>
    <message>
        <source>Open the sign-in form</source>
        <translation>Das Anmeldeformular öffnen</translation>
    </message>
    <message>
        <source>Press Enter to sign in</source>
        <translation>Zum Anmelden die Eingabetaste drücken</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <source>T-O-VO...</source>
        <translation>T-O-VO...</translation>
    </message>
    <message>
        <source>Start at login</source>
        <translation>Beim Anmelden starten</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Got it</source>
        <translation>Verstanden</translation>
    </message>
    <message>
        <source>T-O-VO is Running</source>
        <translation>T-O-VO läuft</translation>
    </message>
    <message>
        <source>T-O-VO will start at login</source>
        <translation>T-O-VO wird beim Anmelden gestartet</translation>
    </message>
    <message>
        <source>T-O-VO will not start at login</source>
        <translation>T-O-VO wird beim Anmelden nicht gestartet</translation>
    </message>
    <message>
        <source>Open T-O-VO Today</source>
        <translation>T-O-VO Today öffnen</translation>
    </message>
    <message>
        <source>To sign in and see your alarms, open T-O-VO Today from the applications menu or click the T-O-VO icon.</source>
        <translation>Um sich anzumelden und Ihre Alarme zu sehen, öffnen Sie T-O-VO Today im Anwendungsmenü oder klicken Sie auf das T-O-VO-Symbol.</translation>
    </message>
    <message>
        <source>To sign in and see your alarms, open T-O-VO Today from the applications menu.</source>
        <translation>Um sich anzumelden und Ihre Alarme zu sehen, öffnen Sie T-O-VO Today im Anwendungsmenü.</translation>
    </message>
    <message>
        <source>This desktop has no tray for the T-O-VO icon: &quot;Start at login&quot; and &quot;Quit T-O-VO&quot; are on the menu that a right click on T-O-VO in the applications menu opens.</source>
        <translation>Diese Arbeitsumgebung hat keinen Infobereich für das T-O-VO-Symbol: „Beim Anmelden starten“ und „T-O-VO beenden“ stehen im Menü, das ein Rechtsklick auf T-O-VO im Anwendungsmenü öffnet.</translation>
    </message>
</context>
<context>
    <name>FailureReason</name>
    <message>
        <source>timed out</source>
        <translation>Zeitüberschreitung</translation>
    </message>
    <message>
        <source>certificate not trusted</source>
        <translation>Zertifikat nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>unreadable answer</source>
        <translation>unlesbare Antwort</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>keine Verbindung</translation>
    </message>
</context>
<context>
    <name>Helper</name>
    <message>
        <source>There are no alarms :-)</source>
        <translation>Es gibt keine Alarme :-)</translation>
    </message>
    <message>
        <source>An error occured. :-(</source>
        <translation>Ein Fehler ist aufgetreten. :-(</translation>
    </message>
    <message>
        <source>Critical</source>
        <comment>alarm level</comment>
        <translation>Kritisch</translation>
    </message>
    <message>
        <source>Major</source>
        <comment>alarm level</comment>
        <translation>Schwer</translation>
    </message>
    <message>
        <source>Minor</source>
        <comment>alarm level</comment>
        <translation>Leicht</translation>
    </message>
    <message>
        <source>Resolved</source>
        <comment>alarm level</comment>
        <translation>Behoben</translation>
    </message>
    <message>
        <source>Okay</source>
        <comment>alarm level</comment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Closed</source>
        <comment>alarm level</comment>
        <translation>Geschlossen</translation>
    </message>
</context>
<context>
    <name>HomeViewController</name>
    <message>
        <source>Alarms</source>
        <translation>Alarme</translation>
    </message>
</context>
<context>
    <name>LoginViewController</name>
    <message>
        <source>Sign in</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Sign in to T-O-VO</source>
        <translation>Bei T-O-VO anmelden</translation>
    </message>
    <message>
        <source>Use the e-mail address and password of your monitoring account.</source>
        <translation>Verwenden Sie die E-Mail-Adresse und das Passwort Ihres Überwachungskontos.</translation>
    </message>
    <message>
        <source>&amp;E-mail address</source>
        <translation>&amp;E-Mail-Adresse</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>E-Mail-Adresse</translation>
    </message>
    <message>
        <source>name@example.com</source>
        <translation>name@example.com</translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation>&amp;Passwort</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Passwort</translation>
    </message>
    <message>
        <source>Sign-in status</source>
        <translation>Anmeldestatus</translation>
    </message>
    <message>
        <source>Signing in</source>
        <translation>Anmeldung läuft</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation>Anmelden</translation>
    </message>
    <message>
        <source>Open the T-O-VO web site</source>
        <translation>Die T-O-VO-Website öffnen</translation>
    </message>
    <message>
        <source>No account yet? Visit the T-O-VO web site</source>
        <translation>Noch kein Konto? Besuchen Sie die T-O-VO-Website</translation>
    </message>
    <message>
        <source>Signed in</source>
        <translation>Angemeldet</translation>
    </message>
    <message>
        <source>Signed in, but the account could not be saved on this computer.</source>
        <translation>Angemeldet, aber das Konto konnte auf diesem Computer nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>Sign-in failed. Check the e-mail address and password.</source>
        <translation>Anmeldung fehlgeschlagen. Prüfen Sie E-Mail-Adresse und Passwort.</translation>
    </message>
</context>
<context>
    <name>NotificationClient</name>
    <message>
        <source>1 more new alarm</source>
        <translation>1 weiterer neuer Alarm</translation>
    </message>
    <message numerus="yes">
        <source>%n more new alarms</source>
        <translation>
            <numerusform>%n weiterer neuer Alarm</numerusform>
            <numerusform>%n weitere neue Alarme</numerusform>
        </translation>
    </message>
    <message>
        <source>Too many at once to show each.</source>
        <translation>Zu viele auf einmal, um jeden einzeln zu zeigen.</translation>
    </message>
</context>
<context>
    <name>NotificationQueue</name>
    <message>
        <source>1 more notification</source>
        <translation>1 weitere Benachrichtigung</translation>
    </message>
    <message>
        <source>They could not be shown when they arrived.</source>
        <translation>Sie konnten beim Eintreffen nicht angezeigt werden.</translation>
    </message>
    <message numerus="yes">
        <source>%n more notifications</source>
        <translation>
            <numerusform>%n weitere Benachrichtigung</numerusform>
            <numerusform>%n weitere Benachrichtigungen</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TodayPanel</name>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Fertig</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Bearbeiten</translation>
    </message>
    <message>
        <source>Finish editing the Today panel</source>
        <translation>Bearbeiten der Heute-Leiste beenden</translation>
    </message>
    <message>
        <source>Edit the Today panel</source>
        <translation>Die Heute-Leiste bearbeiten</translation>
    </message>
</context>
<context>
    <name>WidgetListViewController</name>
    <message numerus="yes">
        <source>and %Ln more</source>
        <comment>rows of the list left out</comment>
        <translation>
            <numerusform>und %Ln weiterer</numerusform>
            <numerusform>und %Ln weitere</numerusform>
        </translation>
    </message>
</context>
</TS>
