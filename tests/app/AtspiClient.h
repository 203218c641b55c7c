#pragma once

// A screen reader's view of a running application over AT-SPI: the accessibility bus that at-spi2-core
// runs beside the session bus, its registry, and the application's objects, asked one call at a time
// as a reader asks them. It keeps no cache: every child is asked for by its index, as a reader does
// when it walks a tree, which is the very call that crashed the panel (a cached client would answer
// from its cache and never send it).

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <optional>

struct AtspiRef {
    QString service;
    QDBusObjectPath path;
    bool isNull() const { return service.isEmpty() || path.path() == QLatin1String("/org/a11y/atspi/null"); }
};
Q_DECLARE_METATYPE(AtspiRef)

// Found by argument-dependent lookup beside AtspiRef, so outside any namespace.
inline QDBusArgument& operator<<(QDBusArgument& out, const AtspiRef& ref) {
    out.beginStructure();
    out << ref.service << ref.path;
    out.endStructure();
    return out;
}
inline const QDBusArgument& operator>>(const QDBusArgument& in, AtspiRef& ref) {
    in.beginStructure();
    in >> ref.service >> ref.path;
    in.endStructure();
    return in;
}

// The states a reader is told, numbered as at-spi2-core's atspi-constants.h numbers them.
enum class AtspiState { checked = 4, collapsed = 5, enabled = 8, expandable = 9, expanded = 10, focusable = 11,
                        selectable = 22, selected = 23, showing = 25 };

// What a reader learns of one object.
struct AtspiNode {
    AtspiRef ref;
    QString role; // as the toolkit names it: "push button", "page tab", "heading", …
    QString name;
    QString description;
    quint64 states = 0;
    QStringList actions;

    bool has(AtspiState state) const { return states & (quint64(1) << int(state)); }
    QString describe() const { return QStringLiteral("%1 '%2'").arg(role, name); }
};

class AtspiClient {
public:
    // The accessibility bus of this session, started on demand; nullopt with the reason when none answers.
    static std::optional<AtspiClient> connect(QString* error) {
        qDBusRegisterMetaType<AtspiRef>();
        qDBusRegisterMetaType<QList<AtspiRef>>();
        const QDBusMessage reply = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"), QDBus::Block,
            kTimeoutMs);
        const auto address = answer(reply);
        if (!address) {
            *error = QStringLiteral("no accessibility bus: ") + reply.errorMessage();
            return std::nullopt;
        }
        QDBusConnection bus = QDBusConnection::connectToBus(address->toString(), QStringLiteral("atspi-walk"));
        if (!bus.isConnected()) {
            *error = QStringLiteral("cannot join the accessibility bus: ") + bus.lastError().message();
            return std::nullopt;
        }
        return AtspiClient(bus);
    }

    // The registered application whose process is `pid`, if it has registered by now.
    std::optional<AtspiRef> application(qint64 pid) const {
        const AtspiRef registry{"org.a11y.atspi.Registry", QDBusObjectPath("/org/a11y/atspi/accessible/root")};
        for (const AtspiRef& app : qdbus_cast<QList<AtspiRef>>(call(registry, kAccessible, "GetChildren").value_or(QVariant())))
            if (m_bus.interface()->servicePid(app.service).value() == pid)
                return app;
        return std::nullopt;
    }

    // The top-level windows of an application, by title.
    QHash<QString, AtspiRef> windows(const AtspiRef& application) const {
        QHash<QString, AtspiRef> found;
        for (int i = 0; i < childCount(application).value_or(0); ++i)
            if (const auto window = child(application, i); window && !window->isNull())
                found.insert(property(*window, kAccessible, "Name").toString(), *window);
        return found;
    }

    // Every object under `root`, depth first, each child asked for by its index. Each object is also
    // asked for the children it does not have: the one after its last, one far beyond, and the last it
    // had at any earlier walk (a scroll bar that hid since). Any answer but "no object" to those is noted
    // in `strays`. Objects that go away during the walk are left out.
    QList<AtspiNode> walk(const AtspiRef& root, QStringList* strays) {
        QList<AtspiNode> nodes;
        walkFrom(root, 0, nodes, strays);
        return nodes;
    }

    // Its default action, the first it offers, as a reader performs it on Enter or a double tap
    // ("Press", "Toggle", whatever the control calls it).
    bool act(const AtspiNode& node) const {
        return !node.actions.isEmpty() && call(node.ref, kAction, "DoAction", {0}).value_or(false).toBool();
    }

    // All of its text, through its text interface; nullopt when it offers none ("no such object").
    std::optional<QString> text(const AtspiNode& node) const {
        const auto text = call(node.ref, kText, "GetText", {0, -1});
        return text ? std::optional(text->toString()) : std::nullopt;
    }

private:
    static constexpr int kTimeoutMs = 5000; // a panel that hangs fails the walk instead of stalling it
    static constexpr int kDeepest = 40;
    static constexpr int kFarBeyond = 1 << 30;
    static constexpr const char* kAccessible = "org.a11y.atspi.Accessible";
    static constexpr const char* kAction = "org.a11y.atspi.Action";
    static constexpr const char* kText = "org.a11y.atspi.Text";

    explicit AtspiClient(const QDBusConnection& bus) : m_bus(bus) {}

    static std::optional<QVariant> answer(const QDBusMessage& reply) {
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return std::nullopt;
        return reply.arguments().first();
    }
    std::optional<QVariant> call(const AtspiRef& ref, const QString& interface, const QString& method,
                                 const QVariantList& arguments = {}) const {
        QDBusMessage message = QDBusMessage::createMethodCall(ref.service, ref.path.path(), interface, method);
        message.setArguments(arguments);
        return answer(m_bus.call(message, QDBus::Block, kTimeoutMs));
    }
    // An invalid QVariant when the object does not answer.
    QVariant property(const AtspiRef& ref, const QString& interface, const QString& name) const {
        const auto value = call(ref, "org.freedesktop.DBus.Properties", "Get", {interface, name});
        return value ? value->value<QDBusVariant>().variant() : QVariant();
    }
    std::optional<int> childCount(const AtspiRef& ref) const {
        const QVariant count = property(ref, kAccessible, "ChildCount");
        return count.isValid() ? std::optional(count.toInt()) : std::nullopt;
    }
    std::optional<AtspiRef> child(const AtspiRef& ref, int index) const {
        const auto reference = call(ref, kAccessible, "GetChildAtIndex", {index});
        return reference ? std::optional(qdbus_cast<AtspiRef>(*reference)) : std::nullopt;
    }

    std::optional<AtspiNode> read(const AtspiRef& ref) const {
        const auto role = call(ref, kAccessible, "GetRoleName");
        const auto states = call(ref, kAccessible, "GetState");
        const auto interfaces = call(ref, kAccessible, "GetInterfaces");
        if (!role || !states || !interfaces)
            return std::nullopt; // gone since its parent named it
        AtspiNode node{ref, role->toString(), property(ref, kAccessible, "Name").toString(),
                       property(ref, kAccessible, "Description").toString(), 0, {}};
        const auto words = qdbus_cast<QList<uint>>(*states);
        for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 2); ++i)
            node.states |= quint64(words[i]) << (32 * i);
        const int actions = qdbus_cast<QStringList>(*interfaces).contains(QLatin1StringView(kAction))
                                ? property(ref, kAction, "NActions").toInt()
                                : 0;
        for (int i = 0; i < actions; ++i)
            node.actions << call(ref, kAction, "GetName", {i}).value_or(QString()).toString();
        return node;
    }

    void walkFrom(const AtspiRef& ref, int depth, QList<AtspiNode>& nodes, QStringList* strays) {
        const auto node = read(ref);
        const auto count = childCount(ref);
        if (!node || !count)
            return;
        nodes << *node;
        for (int i = 0; depth < kDeepest && i < *count; ++i)
            if (const auto next = child(ref, i); next && !next->isNull())
                walkFrom(*next, depth + 1, nodes, strays);

        int& most = m_mostChildren[ref.path.path()];
        QList<int> missing{*count, kFarBeyond};
        if (most - 1 > *count)
            missing << most - 1;
        most = std::max(most, *count);
        // A child that has just appeared is no stray: the object may have grown since it was counted. Nor is
        // one that came and went between two questions (a row rebuilt by a poll, the old one deleted a turn
        // later): a stray answers beyond the count every time it is asked.
        const auto answersBeyondCount = [&](int index) {
            const auto stray = child(ref, index);
            return stray && !stray->isNull() && index >= childCount(ref).value_or(0);
        };
        for (int index : missing)
            if (answersBeyondCount(index) && answersBeyondCount(index))
                *strays << QStringLiteral("%1 answered for child %2 of %3").arg(node->describe()).arg(index).arg(*count);
    }

    QDBusConnection m_bus;
    QHash<QString, int> m_mostChildren; // by object path: the most children seen at any walk
};
