// The tray icon follows the desktop's light or dark appearance as the XDG desktop portal publishes it,
// read from a portal that this test serves on its own session bus.
#include "ui/kit/Theme.h"
#include "ui/tray/TrayAppearance.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QSignalSpy>
#include <QTest>

using namespace tavrin;

namespace {

// The portal's settings interface, as much of it as the appearance needs.
class ScriptedPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")
public:
    uint colorScheme = 0;

public Q_SLOTS:
    // Answers as the portal's first version does: the value in a variant inside a variant.
    QDBusVariant Read(const QString& group, const QString& key) {
        const uint value = group == "org.freedesktop.appearance" && key == "color-scheme" ? colorScheme : 0;
        return QDBusVariant(QVariant::fromValue(QDBusVariant(value)));
    }

Q_SIGNALS:
    void SettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
};

} // namespace

class TrayAppearanceTest : public QObject {
    Q_OBJECT
    ScriptedPortal portal;

private Q_SLOTS:
    void initTestCase() {
        // A connection of its own, as a portal would have: the panel's side is the default one.
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal");
        QVERIFY(bus.registerObject("/org/freedesktop/portal/desktop", &portal,
                                   QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals));
        QVERIFY(bus.registerService("org.freedesktop.portal.Desktop"));
    }

    void theIconIsLightOnADarkPanelAndFollowsTheSetting() {
        portal.colorScheme = 1; // prefers dark
        TrayAppearance appearance;
        QTRY_VERIFY(appearance.isDark());
        QCOMPARE(TrayAppearance::iconColour(appearance.isDark()), Theme::surface());

        QSignalSpy changed(&appearance, &TrayAppearance::changed);
        Q_EMIT portal.SettingChanged("org.freedesktop.appearance", "color-scheme", QDBusVariant(2u)); // light
        QTRY_COMPARE(changed.count(), 1);
        QVERIFY(!appearance.isDark());
        QCOMPARE(TrayAppearance::iconColour(appearance.isDark()), Theme::ink());
    }
};

QTEST_GUILESS_MAIN(TrayAppearanceTest)

#include "TrayAppearanceTest.moc"
