#pragma once

// A screen reader's view of a running application over AT-SPI: the accessibility bus that at-spi2-core
// runs beside the session bus, its registry, and the application's objects, asked one call at a time
// as a reader asks them. It keeps no cache: every child is asked for by its index, as a reader does
// when it walks a tree, which is the very call that crashed the panel (a cached client would answer
// from its cache and never send it).

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QHash>
#include <QMetaType>
#include <QStringList>

#include <optional>

struct AtspiRef {
    QString service;
    QDBusObjectPath path;
    bool isNull() const;
};
Q_DECLARE_METATYPE(AtspiRef)

// The states a reader is told, numbered as at-spi2-core's atspi-constants.h numbers them.
enum class AtspiState { checked = 4, collapsed = 5, expandable = 9, expanded = 10, focusable = 11, selectable = 22,
                        selected = 23, showing = 25 };

// What a reader learns of one object.
struct AtspiNode {
    AtspiRef ref;
    int depth = 0;
    QString role; // as the toolkit names it: "push button", "page tab", "heading", …
    QString name;
    QString description;
    quint64 states = 0;
    QStringList actions;

    bool has(AtspiState state) const { return states & (quint64(1) << int(state)); }
    QString describe() const; // "push button 'Start server'"
};

class AtspiClient {
public:
    // The accessibility bus of this session, started on demand; nullopt with the reason when none answers.
    static std::optional<AtspiClient> connect(QString* error);

    // The registered application whose process is `pid`, if it has registered by now.
    std::optional<AtspiRef> application(qint64 pid) const;
    // The top-level windows of an application, by title.
    QHash<QString, AtspiRef> windows(const AtspiRef& application) const;

    // Every object under `root`, depth first, each child asked for by its index. Each object is also
    // asked for the children it does not have: the one after its last, one far beyond, and the last it
    // had at any earlier walk (a scroll bar that hid since). Any answer but "no object" to those is noted
    // in `strays`. Objects that go away during the walk are left out.
    QList<AtspiNode> walk(const AtspiRef& root, QStringList* strays);

    bool doAction(const AtspiNode& node, const QString& action) const;

private:
    explicit AtspiClient(const QDBusConnection& bus) : m_bus(bus) {}
    std::optional<AtspiNode> read(const AtspiRef& ref, int depth) const;
    std::optional<int> childCount(const AtspiRef& ref) const;
    std::optional<AtspiRef> child(const AtspiRef& ref, int index) const;
    void walkFrom(const AtspiRef& ref, int depth, QList<AtspiNode>& nodes, QStringList* strays);

    QDBusConnection m_bus;
    QHash<QString, int> m_mostChildren; // by object path: the most children seen at any walk
};
