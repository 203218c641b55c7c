// Who may reach the server, and where it listens: allowlist matching, origins, what counts as
// loopback, and when one socket serves the admin API too. Which preferences can be stored is
// AdminContractTest's, over HTTP.

#include "server/http/HttpServer.h"
#include "server/stores/NetworkPolicy.h"

#include <QTest>

using namespace tavrin;

namespace {

ClientNetworkPreferences prefsWith(std::vector<QString> allowlist, std::vector<QString> origins = {}) {
    return {QStringLiteral("127.0.0.1"), 11434, false, std::nullopt, std::move(origins), std::move(allowlist)};
}

} // namespace

class NetworkPolicyTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // An empty allowlist admits everyone; origins match exactly, scheme and port included.
    void allowlistAndOriginsAdmitOnlyWhatTheyList() {
        const NetworkPolicy policy(prefsWith({QStringLiteral("10.0.0.7"), QStringLiteral("192.168.1.0/24"), QStringLiteral("fd00::/8")},
                                             {QStringLiteral("https://app.example.com")}));
        const std::pair<const char*, bool> clients[] = {
            {"10.0.0.7", true},   {"192.168.1.200", true}, {"192.168.2.1", false},     {"::ffff:192.168.1.5", true},
            {"fd00::1234", true}, {"fe80::1", false},      {"127.0.0.1", false},       {"not-an-address", false}};
        for (const auto& [client, allowed] : clients)
            QVERIFY2(policy.allows(QString::fromLatin1(client)) == allowed, client);
        const NetworkPolicy open(prefsWith({}));
        QVERIFY(open.allows(QStringLiteral("203.0.113.9")) && open.allows(QStringLiteral("::1")));

        const std::pair<const char*, bool> origins[] = {{"https://app.example.com", true}, {"http://app.example.com", false},
                                                        {"https://app.example.com:8443", false}, {"null", false}};
        for (const auto& [origin, allowed] : origins)
            QVERIFY2(policy.allowsOrigin(QString::fromLatin1(origin)) == allowed, origin);
    }

    // On Linux a wildcard listener keeps a loopback one off its port, so such a bind must serve
    // the admin API itself; any other bind leaves 127.0.0.1 to an admin listener of its own.
    // Loopback is the whole loopback range, however a socket reports it.
    void oneSocketServesBothWhenTheBindCoversTheAdminAddress() {
        const std::tuple<const char*, int, bool> binds[] = {
            {"127.0.0.1", 11434, true},    {"0.0.0.0", 11434, true},     {"::", 11434, true},
            {"::1", 11434, false},         {"127.0.0.2", 11434, false},  {"192.168.1.5", 11434, false},
            {"0.0.0.0", 18080, false}};
        for (const auto& [host, port, covers] : binds)
            QVERIFY2(listenerCoversAdmin(QString::fromLatin1(host), port, 11434) == covers, host);
        const std::pair<const char*, bool> addresses[] = {{"127.0.0.1", true},        {"127.0.0.2", true},
                                                          {"::1", true},              {"::ffff:127.0.0.1", true},
                                                          {"192.168.1.10", false},    {"0.0.0.0", false}};
        for (const auto& [address, loopback] : addresses)
            QVERIFY2(NetworkPolicy::isLoopback(QString::fromLatin1(address)) == loopback, address);
    }
};

QTEST_GUILESS_MAIN(NetworkPolicyTest)
#include "NetworkPolicyTest.moc"
