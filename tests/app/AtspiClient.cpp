#include "AtspiClient.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>

#include <algorithm>

// Found by argument-dependent lookup beside AtspiRef, so outside any namespace.
QDBusArgument& operator<<(QDBusArgument& out, const AtspiRef& ref) {
    out.beginStructure();
    out << ref.service << ref.path;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, AtspiRef& ref) {
    in.beginStructure();
    in >> ref.service >> ref.path;
    in.endStructure();
    return in;
}

namespace {

constexpr int kTimeoutMs = 5000; // a panel that hangs fails the walk instead of stalling it
constexpr int kDeepest = 40;
constexpr int kFarBeyond = 1 << 30;
const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
const QString kAction = QStringLiteral("org.a11y.atspi.Action");

QDBusMessage call(const QDBusConnection& bus, const AtspiRef& ref, const QString& interface, const QString& method,
                  const QVariantList& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(ref.service, ref.path.path(), interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, kTimeoutMs);
}

std::optional<QVariant> answer(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return std::nullopt;
    return reply.arguments().first();
}

std::optional<QVariant> property(const QDBusConnection& bus, const AtspiRef& ref, const QString& interface,
                                 const QString& name) {
    const auto value = answer(call(bus, ref, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                                   {interface, name}));
    if (!value)
        return std::nullopt;
    return value->value<QDBusVariant>().variant();
}

} // namespace

bool AtspiRef::isNull() const { return service.isEmpty() || path.path() == QLatin1String("/org/a11y/atspi/null"); }

QString AtspiNode::describe() const { return QStringLiteral("%1 '%2'").arg(role, name); }

std::optional<AtspiClient> AtspiClient::connect(QString* error) {
    qDBusRegisterMetaType<AtspiRef>();
    qDBusRegisterMetaType<QList<AtspiRef>>();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")),
        QDBus::Block, kTimeoutMs);
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

std::optional<AtspiRef> AtspiClient::application(qint64 pid) const {
    const AtspiRef registry{QStringLiteral("org.a11y.atspi.Registry"),
                            QDBusObjectPath(QStringLiteral("/org/a11y/atspi/accessible/root"))};
    const auto children = answer(call(m_bus, registry, kAccessible, QStringLiteral("GetChildren")));
    if (!children)
        return std::nullopt;
    for (const AtspiRef& app : qdbus_cast<QList<AtspiRef>>(*children))
        if (m_bus.interface()->servicePid(app.service).value() == pid)
            return app;
    return std::nullopt;
}

QHash<QString, AtspiRef> AtspiClient::windows(const AtspiRef& application) const {
    QHash<QString, AtspiRef> found;
    for (int i = 0; i < childCount(application).value_or(0); ++i)
        if (const auto window = child(application, i); window && !window->isNull())
            found.insert(property(m_bus, *window, kAccessible, QStringLiteral("Name")).value_or(QString()).toString(),
                         *window);
    return found;
}

std::optional<int> AtspiClient::childCount(const AtspiRef& ref) const {
    const auto count = property(m_bus, ref, kAccessible, QStringLiteral("ChildCount"));
    return count ? std::optional(count->toInt()) : std::nullopt;
}

std::optional<AtspiRef> AtspiClient::child(const AtspiRef& ref, int index) const {
    const auto reference = answer(call(m_bus, ref, kAccessible, QStringLiteral("GetChildAtIndex"), {index}));
    return reference ? std::optional(qdbus_cast<AtspiRef>(*reference)) : std::nullopt;
}

std::optional<AtspiNode> AtspiClient::read(const AtspiRef& ref, int depth) const {
    AtspiNode node;
    node.ref = ref;
    node.depth = depth;
    const auto role = answer(call(m_bus, ref, kAccessible, QStringLiteral("GetRoleName")));
    const auto states = answer(call(m_bus, ref, kAccessible, QStringLiteral("GetState")));
    const auto interfaces = answer(call(m_bus, ref, kAccessible, QStringLiteral("GetInterfaces")));
    if (!role || !states || !interfaces)
        return std::nullopt; // gone since its parent named it
    node.role = role->toString();
    node.name = property(m_bus, ref, kAccessible, QStringLiteral("Name")).value_or(QString()).toString();
    node.description = property(m_bus, ref, kAccessible, QStringLiteral("Description")).value_or(QString()).toString();
    const auto words = qdbus_cast<QList<uint>>(*states);
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), 2); ++i)
        node.states |= quint64(words[i]) << (32 * i);
    if (qdbus_cast<QStringList>(*interfaces).contains(kAction)) {
        const int count = property(m_bus, ref, kAction, QStringLiteral("NActions")).value_or(0).toInt();
        for (int i = 0; i < count; ++i)
            node.actions << answer(call(m_bus, ref, kAction, QStringLiteral("GetName"), {i})).value_or(QString()).toString();
    }
    return node;
}

QList<AtspiNode> AtspiClient::walk(const AtspiRef& root, QStringList* strays) {
    QList<AtspiNode> nodes;
    walkFrom(root, 0, nodes, strays);
    return nodes;
}

void AtspiClient::walkFrom(const AtspiRef& ref, int depth, QList<AtspiNode>& nodes, QStringList* strays) {
    const auto node = read(ref, depth);
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

bool AtspiClient::doAction(const AtspiNode& node, const QString& action) const {
    const qsizetype index = node.actions.indexOf(action);
    return index >= 0 &&
           answer(call(m_bus, node.ref, kAction, QStringLiteral("DoAction"), {int(index)})).value_or(false).toBool();
}
