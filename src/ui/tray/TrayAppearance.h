#pragma once

#include <QColor>
#include <QDBusVariant>
#include <QObject>

namespace tavrin {

// Whether the desktop's panels are dark, from the freedesktop appearance setting that the XDG desktop
// portal publishes (org.freedesktop.appearance color-scheme: 1 prefers dark, 2 prefers light, 0 no
// preference), followed as the user changes it. Where no portal answers, or the setting says nothing,
// panels count as light, the desktops' own default.
class TrayAppearance : public QObject {
    Q_OBJECT
public:
    explicit TrayAppearance(QObject* parent = nullptr);

    bool isDark() const { return m_dark; }
    // The colour the tray icon is drawn in: ink on a light panel, white on a dark one.
    static QColor iconColour(bool dark);

Q_SIGNALS:
    void changed();

private Q_SLOTS:
    void settingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    void follow(const QVariant& colorScheme);

    bool m_dark = false;
};

} // namespace tavrin
