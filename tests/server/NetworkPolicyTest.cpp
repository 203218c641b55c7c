// Who may reach the server, and where it listens: allowlist matching, origins, what counts as
// loopback, which preferences can be stored, and when one socket serves the admin API too.

#include "server/HttpServer.h"
#include "server/NetworkPolicy.h"

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
    void allowlistAdmitsAddressesInItsSubnets_data() {
        QTest::addColumn<QString>("client");
        QTest::addColumn<bool>("allowed");
        QTest::newRow("listed address") << "10.0.0.7" << true;
        QTest::newRow("inside the subnet") << "192.168.1.200" << true;
        QTest::newRow("next subnet") << "192.168.2.1" << false;
        QTest::newRow("as an IPv6 socket reports it") << "::ffff:192.168.1.5" << true;
        QTest::newRow("IPv6 in its prefix") << "fd00::1234" << true;
        QTest::newRow("other IPv6") << "fe80::1" << false;
        QTest::newRow("loopback not listed") << "127.0.0.1" << false;
        QTest::newRow("garbage") << "not-an-address" << false;
    }
    void allowlistAdmitsAddressesInItsSubnets() {
        QFETCH(QString, client);
        QFETCH(bool, allowed);
        const NetworkPolicy policy(prefsWith({QStringLiteral("10.0.0.7"), QStringLiteral("192.168.1.0/24"), QStringLiteral("fd00::/8")}));
        QCOMPARE(policy.allows(client), allowed);
    }

    void anEmptyAllowlistAdmitsEveryone() {
        const NetworkPolicy policy(prefsWith({}));
        QVERIFY(policy.allows(QStringLiteral("203.0.113.9")) && policy.allows(QStringLiteral("::1")));
    }

    void originsMatchExactly() {
        const NetworkPolicy policy(prefsWith({}, {QStringLiteral("https://app.example.com")}));
        QVERIFY(policy.allowsOrigin(QStringLiteral("https://app.example.com")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("http://app.example.com")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("https://app.example.com:8443")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("null")));
    }

    void preferencesThatCannotBeAppliedAreRefusedWithTheReason_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("host name") << "bindHost" << "localhost" << "bindHost must be an IP address";
        QTest::newRow("empty host") << "bindHost" << "" << "bindHost must be an IP address";
        QTest::newRow("port 0") << "bindPort" << "0" << "bindPort must be between 1 and 65535";
        QTest::newRow("port 65536") << "bindPort" << "65536" << "bindPort must be between 1 and 65535";
        QTest::newRow("allowlist name") << "ipAllowlist" << "office" << "is not an IP address or subnet";
        QTest::newRow("allowlist prefix too long") << "ipAllowlist" << "10.0.0.0/33" << "is not an IP address or subnet";
        QTest::newRow("origin with path") << "corsAllowedOrigins" << "https://app.example.com/x" << "is not an origin";
        QTest::newRow("origin without scheme") << "corsAllowedOrigins" << "app.example.com" << "is not an origin";
    }
    void preferencesThatCannotBeAppliedAreRefusedWithTheReason() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        ClientNetworkPreferences prefs = prefsWith({QStringLiteral("192.168.1.0/24"), QStringLiteral("fd00::/8")},
                                                   {QStringLiteral("https://app.example.com")});
        QVERIFY(NetworkPolicy::validate(prefs));
        if (field == QLatin1StringView("bindHost"))
            prefs.bindHost = value;
        else if (field == QLatin1StringView("bindPort"))
            prefs.bindPort = value.toLongLong();
        else if (field == QLatin1StringView("ipAllowlist"))
            prefs.ipAllowlist.push_back(value);
        else
            prefs.corsAllowedOrigins.push_back(value);
        const auto refused = NetworkPolicy::validate(prefs);
        QVERIFY(!refused);
        QVERIFY2(refused.error().contains(reason), qPrintable(refused.error()));
    }

    // On Linux a wildcard listener keeps a loopback one off its port, so such a bind must serve
    // the admin API itself; any other bind leaves 127.0.0.1 to an admin listener of its own.
    void oneSocketServesBothWhenTheBindCoversTheAdminAddress_data() {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<bool>("covers");
        QTest::newRow("loopback") << "127.0.0.1" << 11434 << true;
        QTest::newRow("every IPv4 interface") << "0.0.0.0" << 11434 << true;
        QTest::newRow("every interface, dual stack") << "::" << 11434 << true;
        QTest::newRow("IPv6 loopback") << "::1" << 11434 << false;
        QTest::newRow("another loopback address") << "127.0.0.2" << 11434 << false;
        QTest::newRow("one LAN address") << "192.168.1.5" << 11434 << false;
        QTest::newRow("every interface, another port") << "0.0.0.0" << 18080 << false;
    }
    void oneSocketServesBothWhenTheBindCoversTheAdminAddress() {
        QFETCH(QString, host);
        QFETCH(int, port);
        QFETCH(bool, covers);
        QCOMPARE(listenerCoversAdmin(host, port, 11434), covers);
    }

    void loopbackIsTheWholeLoopbackRangeOnly_data() {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("loopback");
        QTest::newRow("127.0.0.1") << "127.0.0.1" << true;
        QTest::newRow("127.0.0.2") << "127.0.0.2" << true;
        QTest::newRow("::1") << "::1" << true;
        QTest::newRow("mapped loopback") << "::ffff:127.0.0.1" << true;
        QTest::newRow("LAN address") << "192.168.1.10" << false;
        QTest::newRow("any") << "0.0.0.0" << false;
    }
    void loopbackIsTheWholeLoopbackRangeOnly() {
        QFETCH(QString, address);
        QFETCH(bool, loopback);
        QCOMPARE(NetworkPolicy::isLoopback(address), loopback);
    }
};

QTEST_GUILESS_MAIN(NetworkPolicyTest)
#include "NetworkPolicyTest.moc"
