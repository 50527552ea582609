#pragma once
// The program's icon in the panel's system tray with its menu. The menu is a list of
// TrayMenuItem that works with or without a tray; the tray icon (StatusNotifierItem or XEmbed,
// whatever Qt finds) shows it when the desktop has a tray, now or later.
//
// Qt decides once per process, when the first QSystemTrayIcon is made, whether the desktop's tray
// is a StatusNotifierItem host on the session bus, and keeps to that choice. So the icon is made
// only once a host is there, or at once on X11 without one (XEmbed, which trays and the panels'
// XEmbed proxies show): a panel that comes up after us still gets its StatusNotifierItem, the
// only tray there is on Wayland.
//
// A left click (activate) is told as activated(); the menu is the panel's to show on a right
// click, where the panel places it.

#include <QIcon>
#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QSystemTrayIcon;
class TrayMenuItem;

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // `toolTip` is the first text shown over the icon.
    explicit TrayIcon(const QString& toolTip, QObject* parent = nullptr);
    ~TrayIcon() override;

    // Appends `item` to the menu and takes it over.
    void addItem(TrayMenuItem* item);
    const QList<TrayMenuItem*>& items() const { return m_items; }

    // Images by name: "StatusItem" and the selected item's "StatusItem_i" (TrayGlyph). An unknown
    // name leaves the icon without an image; the item still works.
    void setImage(const QString& name);
    void setAlternateImage(const QString& name);
    static QIcon imageIcon(const QString& name, bool muted = false);

    const QString& toolTip() const { return m_toolTip; }
    void setToolTip(const QString& toolTip);
    // The muted look of both images, for a program that cannot watch anything.
    bool isMuted() const { return m_muted; }
    void setMuted(bool muted);

    QMenu* menu() const { return m_menu; }
    // Whether a tray shows the icon: a StatusNotifierItem host answered, or an X11 tray holds the
    // XEmbed selection. Known from construction on.
    bool isInTray() const;

Q_SIGNALS:
    // A left click on the icon, with the activation token the panel handed over for it (empty
    // when it sent none).
    void activated(const QString& activationToken);

private Q_SLOTS:
    void askForHost();
    void createTrayIcon();

private:
    void hostAnswered(bool host);
    void updateIcon();
    void sync(TrayMenuItem* item, QAction* action);

    QList<TrayMenuItem*> m_items;
    QMenu* m_menu;
    QString m_toolTip;
    QSystemTrayIcon* m_trayIcon = nullptr;
    bool m_host = false;
    QString m_image;
    QString m_alternateImage;
    bool m_muted = false;
};
