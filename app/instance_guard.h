#pragma once
// Keeps one copy of the program per user. The first copy listens on a local socket; a
// second copy asks it to come to the front and then ends without showing a window.

#include <memory>

#include <QObject>
#include <QString>

class QLocalServer;

namespace lamivex::app {

class InstanceGuard : public QObject {
    Q_OBJECT

  public:
    // The socket name: $LAMIVEX_INSTANCE_NAME when set (tests use their own), else one
    // name per user.
    [[nodiscard]] static QString defaultServerName();

    explicit InstanceGuard(QString serverName = defaultServerName(), QObject* parent = nullptr);
    ~InstanceGuard() override;

    // True when this copy is now the running one. False when another copy answered; it
    // has been asked to come to the front.
    [[nodiscard]] bool claim();

    [[nodiscard]] const QString& serverName() const { return m_name; }

  signals:
    // Another copy was started and asks this one to come to the front.
    void raiseRequested();

  private:
    [[nodiscard]] bool askRunningCopy() const;
    void serveConnection();

    QString m_name;
    std::unique_ptr<QLocalServer> m_server;
};

}  // namespace lamivex::app
