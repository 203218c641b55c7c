// Who may reach the server: allowlist matching, origins, and what counts as loopback.

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
        QVERIFY(policy.allows(QStringLiteral("203.0.113.9")));
        QVERIFY(policy.allows(QStringLiteral("::1")));
    }

    void originsMatchExactly() {
        const NetworkPolicy policy(prefsWith({}, {QStringLiteral("https://app.example.com")}));
        QVERIFY(policy.allowsOrigin(QStringLiteral("https://app.example.com")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("http://app.example.com")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("https://app.example.com:8443")));
        QVERIFY(!policy.allowsOrigin(QStringLiteral("null")));
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
