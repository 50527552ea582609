<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AccountHealth</name>
    <message>
        <source>T-O-VO reaches the service again</source>
        <translation>T-O-VO joint de nouveau le service</translation>
    </message>
    <message>
        <source>T-O-VO cannot reach the service</source>
        <translation>T-O-VO ne peut pas joindre le service</translation>
    </message>
    <message>
        <source>No new alarms can arrive until it is reachable again. Last reason: %1.</source>
        <translation>Aucune nouvelle alarme ne peut arriver avant qu’il soit de nouveau joignable. Dernière raison : %1.</translation>
    </message>
    <message>
        <source>Not signed in. Sign in with T-O-VO Today.</source>
        <translation>Non connecté. Connectez-vous avec T-O-VO Today.</translation>
    </message>
    <message>
        <source>Cannot reach T-O-VO since %1: %2</source>
        <translation>T-O-VO injoignable depuis %1 : %2</translation>
    </message>
    <message>
        <source>Checking for alarms…</source>
        <translation>Recherche des alarmes…</translation>
    </message>
    <message>
        <source>Checked at %1: 1 alarm</source>
        <translation>Vérifié à %1 : 1 alarme</translation>
    </message>
    <message numerus="yes">
        <source>Checked at %1: %n alarms</source>
        <translation>
            <numerusform>Vérifié à %1 : %n alarme</numerusform>
            <numerusform>Vérifié à %1 : %n alarmes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>AlarmRowViewController</name>
    <message>
        <source>Sign in…</source>
        <translation>Se connecter…</translation>
    </message>
    <message>
        <source>Open the sign-in form</source>
        <translation>Ouvrir le formulaire de connexion</translation>
    </message>
    <message>
        <source>Press Enter to sign in</source>
        <translation>Appuyez sur Entrée pour vous connecter</translation>
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
        <translation>Démarrer à l’ouverture de session</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Got it</source>
        <translation>Compris</translation>
    </message>
    <message>
        <source>T-O-VO is Running</source>
        <translation>T-O-VO est lancé</translation>
    </message>
    <message>
        <source>T-O-VO will start at login</source>
        <translation>T-O-VO démarrera à l’ouverture de session</translation>
    </message>
    <message>
        <source>T-O-VO will not start at login</source>
        <translation>T-O-VO ne démarrera pas à l’ouverture de session</translation>
    </message>
    <message>
        <source>Open T-O-VO Today</source>
        <translation>Ouvrir T-O-VO Today</translation>
    </message>
    <message>
        <source>To sign in and see your alarms, open T-O-VO Today from the applications menu or click the T-O-VO icon.</source>
        <translation>Pour vous connecter et voir vos alarmes, ouvrez T-O-VO Today depuis le menu des applications ou cliquez sur l’icône T-O-VO.</translation>
    </message>
    <message>
        <source>To sign in and see your alarms, open T-O-VO Today from the applications menu.</source>
        <translation>Pour vous connecter et voir vos alarmes, ouvrez T-O-VO Today depuis le menu des applications.</translation>
    </message>
    <message>
        <source>This desktop has no tray for the T-O-VO icon: &quot;Start at login&quot; and &quot;Quit T-O-VO&quot; are on the menu that a right click on T-O-VO in the applications menu opens.</source>
        <translation>Ce bureau n’a pas de zone de notification pour l’icône T-O-VO : « Démarrer à l’ouverture de session » et « Quitter T-O-VO » se trouvent dans le menu qu’ouvre un clic droit sur T-O-VO dans le menu des applications.</translation>
    </message>
</context>
<context>
    <name>FailureReason</name>
    <message>
        <source>timed out</source>
        <translation>délai dépassé</translation>
    </message>
    <message>
        <source>certificate not trusted</source>
        <translation>certificat non approuvé</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>unreadable answer</source>
        <translation>réponse illisible</translation>
    </message>
    <message>
        <source>no connection</source>
        <translation>pas de connexion</translation>
    </message>
</context>
<context>
    <name>Helper</name>
    <message>
        <source>There are no alarms :-)</source>
        <translation>Il n’y a aucune alarme :-)</translation>
    </message>
    <message>
        <source>An error occured. :-(</source>
        <translation>Une erreur s’est produite. :-(</translation>
    </message>
    <message>
        <source>Critical</source>
        <comment>alarm level</comment>
        <translation>Critique</translation>
    </message>
    <message>
        <source>Major</source>
        <comment>alarm level</comment>
        <translation>Majeure</translation>
    </message>
    <message>
        <source>Minor</source>
        <comment>alarm level</comment>
        <translation>Mineure</translation>
    </message>
    <message>
        <source>Resolved</source>
        <comment>alarm level</comment>
        <translation>Résolue</translation>
    </message>
    <message>
        <source>Okay</source>
        <comment>alarm level</comment>
        <translation>OK</translation>
    </message>
    <message>
        <source>Closed</source>
        <comment>alarm level</comment>
        <translation>Fermée</translation>
    </message>
</context>
<context>
    <name>HomeViewController</name>
    <message>
        <source>Alarms</source>
        <translation>Alarmes</translation>
    </message>
</context>
<context>
    <name>LoginViewController</name>
    <message>
        <source>Sign in</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>Sign in to T-O-VO</source>
        <translation>Se connecter à T-O-VO</translation>
    </message>
    <message>
        <source>Use the e-mail address and password of your monitoring account.</source>
        <translation>Utilisez l’adresse e-mail et le mot de passe de votre compte de surveillance.</translation>
    </message>
    <message>
        <source>&amp;E-mail address</source>
        <translation>Adresse &amp;e-mail</translation>
    </message>
    <message>
        <source>E-mail address</source>
        <translation>Adresse e-mail</translation>
    </message>
    <message>
        <source>name@example.com</source>
        <translation>nom@example.com</translation>
    </message>
    <message>
        <source>&amp;Password</source>
        <translation>&amp;Mot de passe</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>Sign-in status</source>
        <translation>État de la connexion</translation>
    </message>
    <message>
        <source>Signing in</source>
        <translation>Connexion en cours</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sign In</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>Open the T-O-VO web site</source>
        <translation>Ouvrir le site web de T-O-VO</translation>
    </message>
    <message>
        <source>No account yet? Visit the T-O-VO web site</source>
        <translation>Pas encore de compte ? Visitez le site web de T-O-VO</translation>
    </message>
    <message>
        <source>Signed in</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Signed in, but the account could not be saved on this computer.</source>
        <translation>Connecté, mais le compte n’a pas pu être enregistré sur cet ordinateur.</translation>
    </message>
    <message>
        <source>Sign-in failed. Check the e-mail address and password.</source>
        <translation>Échec de la connexion. Vérifiez l’adresse e-mail et le mot de passe.</translation>
    </message>
</context>
<context>
    <name>NotificationClient</name>
    <message>
        <source>1 more new alarm</source>
        <translation>1 autre nouvelle alarme</translation>
    </message>
    <message numerus="yes">
        <source>%n more new alarms</source>
        <translation>
            <numerusform>%n autre nouvelle alarme</numerusform>
            <numerusform>%n autres nouvelles alarmes</numerusform>
        </translation>
    </message>
    <message>
        <source>Too many at once to show each.</source>
        <translation>Trop nombreuses pour être affichées une à une.</translation>
    </message>
</context>
<context>
    <name>NotificationQueue</name>
    <message>
        <source>1 more notification</source>
        <translation>1 notification de plus</translation>
    </message>
    <message>
        <source>They could not be shown when they arrived.</source>
        <translation>Elles n’ont pas pu être affichées à leur arrivée.</translation>
    </message>
    <message numerus="yes">
        <source>%n more notifications</source>
        <translation>
            <numerusform>%n notification de plus</numerusform>
            <numerusform>%n notifications de plus</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TodayPanel</name>
    <message>
        <source>Today</source>
        <translation>Aujourd’hui</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Terminé</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Finish editing the Today panel</source>
        <translation>Terminer la modification du panneau Aujourd’hui</translation>
    </message>
    <message>
        <source>Edit the Today panel</source>
        <translation>Modifier le panneau Aujourd’hui</translation>
    </message>
</context>
<context>
    <name>WidgetListViewController</name>
    <message numerus="yes">
        <source>and %Ln more</source>
        <comment>rows of the list left out</comment>
        <translation>
            <numerusform>et %Ln autre</numerusform>
            <numerusform>et %Ln autres</numerusform>
        </translation>
    </message>
</context>
</TS>
