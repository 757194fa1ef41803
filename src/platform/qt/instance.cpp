#include "platform/instance.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace tw::platform {
namespace {

constexpr int kConnectMilliseconds = 1000;
constexpr QByteArrayView kShowRequest = "show\n";
constexpr qint64 kMaxRequestBytes = 64;

// Asks the copy listening at the path to show itself; false when nobody answers in time.
bool askToShow(const std::string& socketPath) {
    QLocalSocket socket;
    socket.connectToServer(QString::fromStdString(socketPath));
    if (!socket.waitForConnected(kConnectMilliseconds)) return false;
    socket.write(kShowRequest.data(), kShowRequest.size());
    const bool sent = socket.waitForBytesWritten(kConnectMilliseconds);
    socket.disconnectFromServer();
    return sent;
}

}  // namespace

struct NativeInstance {
    std::unique_ptr<InstanceLock> lock;
    std::unique_ptr<QLocalServer> server;
};

SingleInstance::SingleInstance(const std::string& name, InstanceFolder folder)
    : m_lockPath(folder.path.empty() ? std::string() : folder.path + "/" + name + ".lock"),
      m_socketPath(folder.path.empty() ? std::string() : folder.path + "/" + name),
      m_problem(std::move(folder.problem)),
      m_native(std::make_unique<NativeInstance>()) {}

SingleInstance::~SingleInstance() {
    m_native->server.reset();  // removes the socket file while the lock is still held
    m_native->lock.reset();
}

SingleInstance::Claim SingleInstance::claim() {
    if (m_lockPath.empty()) return Claim::Unguarded;
    m_native->lock = std::make_unique<InstanceLock>(m_lockPath);
    switch (m_native->lock->take()) {
    case InstanceLock::Take::Failed:
        m_problem = m_native->lock->problem();
        return Claim::Unguarded;
    case InstanceLock::Take::HeldElsewhere:
        // The running copy may still be starting and not listen yet; this one ends all the same.
        askToShow(m_socketPath);
        return Claim::AnotherRuns;
    case InstanceLock::Take::Held: break;
    }
    acceptRequests();
    return Claim::OnlyCopy;
}

void SingleInstance::acceptRequests() {
    // Holding the lock, any socket file there is a killed copy's.
    const QString path = QString::fromStdString(m_socketPath);
    QLocalServer::removeServer(path);
    auto& server = m_native->server;
    server = std::make_unique<QLocalServer>();
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(path)) return;
    QLocalServer* listening = server.get();
    QObject::connect(listening, &QLocalServer::newConnection, listening, [this, listening] {
        while (QLocalSocket* peer = listening->nextPendingConnection()) {
            QObject::connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            QObject::connect(peer, &QLocalSocket::readyRead, peer, [this, peer] {
                // A request is one short line; anything longer is not one of ours.
                if (peer->bytesAvailable() > kMaxRequestBytes) {
                    peer->abort();
                    return;
                }
                if (!peer->canReadLine()) return;
                const bool show = peer->readLine() == kShowRequest.toByteArray();
                peer->disconnectFromServer();
                if (show && onShowRequested) onShowRequested();
            });
        }
    });
}

}  // namespace tw::platform
