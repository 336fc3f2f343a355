// The single-instance guard between real processes: a second copy brings the first to the
// front and ends with status 0; a copy killed without cleaning up does not block the next.

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>

#include "tests/app/test_suites.h"

namespace lamivex::app::test {
namespace {

constexpr int kWaitMs = 15000;

class InstanceGuardTest : public QObject {
    Q_OBJECT

  private slots:
    void init();
    void cleanup();
    void secondCopyRaisesTheFirstAndEnds();

  private:
    void startCopy(QProcess& process);
    [[nodiscard]] bool waitUntilListening() const;
    [[nodiscard]] int raisesLogged() const;

    QTemporaryDir m_dir;
    QString m_serverName;
    QString m_log;
    std::vector<std::unique_ptr<QProcess>> m_started;
};

void InstanceGuardTest::init() {
    QVERIFY(m_dir.isValid());
    m_serverName = QStringLiteral("lamivex-test-") + QUuid::createUuid().toString(QUuid::Id128);
    m_log = m_dir.filePath(QStringLiteral("raised.log"));
}

void InstanceGuardTest::cleanup() {
    for (auto& process : m_started) {
        if (process->state() != QProcess::NotRunning) {
            process->kill();
            process->waitForFinished(kWaitMs);
        }
    }
    m_started.clear();
    // Killed copies leave their socket file behind.
    QLocalServer::removeServer(m_serverName);
}

void InstanceGuardTest::startCopy(QProcess& process) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("LAMIVEX_INSTANCE_NAME"), m_serverName);
    env.insert(QStringLiteral("LAMIVEX_INSTANCE_LOG"), m_log);
    process.setProcessEnvironment(env);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(QStringLiteral(LAMIVEX_BINARY), {});
    QVERIFY2(process.waitForStarted(kWaitMs), qPrintable(process.errorString()));
}

bool InstanceGuardTest::waitUntilListening() const {
    const QDeadlineTimer deadline(kWaitMs);
    while (!deadline.hasExpired()) {
        QLocalSocket probe;
        probe.connectToServer(m_serverName);
        if (probe.waitForConnected(200)) {
            probe.disconnectFromServer();
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

int InstanceGuardTest::raisesLogged() const {
    QFile log(m_log);
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return 0;
    }
    return static_cast<int>(log.readAll().count("raised MenuForm\n"));
}

void InstanceGuardTest::secondCopyRaisesTheFirstAndEnds() {
    auto& first = *m_started.emplace_back(std::make_unique<QProcess>());
    startCopy(first);
    QVERIFY(waitUntilListening());

    auto& second = *m_started.emplace_back(std::make_unique<QProcess>());
    startCopy(second);
    QVERIFY(second.waitForFinished(kWaitMs));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(raisesLogged(), 1, kWaitMs);
    QCOMPARE(first.state(), QProcess::Running);

    // Killed outright, the first copy leaves its socket file behind.
    first.kill();
    QVERIFY(first.waitForFinished(kWaitMs));

    auto& third = *m_started.emplace_back(std::make_unique<QProcess>());
    startCopy(third);
    QVERIFY(waitUntilListening());
    QTest::qWait(300);
    QCOMPARE(third.state(), QProcess::Running);

    // And the new copy is the one a further copy finds.
    auto& fourth = *m_started.emplace_back(std::make_unique<QProcess>());
    startCopy(fourth);
    QVERIFY(fourth.waitForFinished(kWaitMs));
    QCOMPARE(fourth.exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(raisesLogged(), 2, kWaitMs);
    QCOMPARE(third.state(), QProcess::Running);
}

}  // namespace

int runInstanceGuardTests(int argc, char** argv) {
    InstanceGuardTest test;
    return QTest::qExec(&test, argc, argv);
}

}  // namespace lamivex::app::test

#include "instance_guard_test.moc"
