#include "app/instance_guard.h"

#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

namespace lamivex::app {
namespace {

const QByteArray kRaise = QByteArrayLiteral("raise\n");
const QByteArray kDone = QByteArrayLiteral("ok\n");
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 3000;

QString userName() {
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty()) {
        name = qEnvironmentVariable("USERNAME");
    }
    if (name.isEmpty()) {
        name = QDir::home().dirName();
    }
    return name;
}

}  // namespace

QString InstanceGuard::defaultServerName() {
    const QString forced = qEnvironmentVariable("LAMIVEX_INSTANCE_NAME");
    if (!forced.isEmpty()) {
        return forced;
    }
    return QStringLiteral("lamivex-") + userName();
}

InstanceGuard::InstanceGuard(QString serverName, QObject* parent)
    : QObject(parent), m_name(std::move(serverName)) {}

InstanceGuard::~InstanceGuard() = default;

bool InstanceGuard::askRunningCopy() const {
    QLocalSocket socket;
    socket.connectToServer(m_name);
    if (!socket.waitForConnected(kConnectMs)) {
        return false;
    }
    socket.write(kRaise);
    socket.waitForBytesWritten(kConnectMs);
    // The running copy answers once it has come to the front; a copy too busy to answer
    // is still running, so this copy ends either way.
    socket.waitForReadyRead(kAnswerMs);
    return true;
}

bool InstanceGuard::claim() {
    // Two copies started at the same moment must not both remove and re-create the socket.
    QLockFile lock(QDir::temp().filePath(m_name + QStringLiteral(".lock")));
    lock.setStaleLockTime(0);
    lock.tryLock(kAnswerMs);

    if (askRunningCopy()) {
        return false;
    }
    // Nobody answered: a socket file left behind by a crashed copy is stale.
    QLocalServer::removeServer(m_name);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        m_server.reset();
        // The program still works without the guard; only a second copy goes unnoticed.
        return true;
    }
    connect(m_server.get(), &QLocalServer::newConnection, this, &InstanceGuard::serveConnection);
    return true;
}

void InstanceGuard::serveConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                return;
            }
            if (socket->readLine() == kRaise) {
                emit raiseRequested();
                socket->write(kDone);
                socket->flush();
            }
            socket->disconnectFromServer();
        });
    }
}

}  // namespace lamivex::app
