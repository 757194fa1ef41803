#include "platform/instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include <QCryptographicHash>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>

namespace tw::platform {
namespace {

constexpr int kConnectMilliseconds = 1000;
constexpr QByteArrayView kShowRequest = "show\n";
constexpr qint64 kMaxRequestBytes = 64;

bool isFolder(const char* path) {
    struct stat st {};
    return path && *path == '/' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

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

std::string instanceName(const std::string& settingsFolder) {
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(settingsFolder),
                                                     QCryptographicHash::Sha256);
    return "towerwatch-" + std::to_string(::getuid()) + "-" + hash.toHex().left(16).toStdString();
}

std::string instanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (isFolder(runtime)) return runtime;
    return QDir::tempPath().toStdString();
}

SingleInstance::SingleInstance(const std::string& name, const std::string& folder)
    : m_lockPath(folder + "/" + name + ".lock"), m_socketPath(folder + "/" + name) {}

SingleInstance::~SingleInstance() {
    m_server.reset();  // removes the socket file while the lock is still held
    if (m_lockFd >= 0) ::close(m_lockFd);
}

bool SingleInstance::claim() {
    m_lockFd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0) return true;
    int locked;
    do locked = ::flock(m_lockFd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(m_lockFd);
        m_lockFd = -1;
        if (error != EWOULDBLOCK) return true;
        // The running copy may still be starting and not listen yet; this one ends all the same.
        askToShow(m_socketPath);
        return false;
    }
    acceptRequests();
    return true;
}

void SingleInstance::acceptRequests() {
    // Holding the lock, any socket file there is a killed copy's.
    const QString path = QString::fromStdString(m_socketPath);
    QLocalServer::removeServer(path);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path)) return;
    QObject::connect(m_server.get(), &QLocalServer::newConnection, m_server.get(), [this] {
        while (QLocalSocket* peer = m_server->nextPendingConnection()) {
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
