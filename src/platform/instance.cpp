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

// Empty when the path is a folder of this user's, not a link, that nobody else may enter;
// else what is wrong with it.
std::string privateFolderProblem(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return path + " cannot be read";
    if (S_ISLNK(st.st_mode)) return path + " is a symbolic link";
    if (!S_ISDIR(st.st_mode)) return path + " is not a folder";
    if (st.st_uid != ::getuid()) return path + " belongs to another user";
    if ((st.st_mode & 077) != 0) return path + " is open to other users";
    return {};
}

std::string withoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
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

InstanceFolder instanceFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime == '/') {
        const std::string folder = withoutTrailingSlashes(runtime);
        if (privateFolderProblem(folder).empty()) return {folder, {}};
    }
    const std::string folder =
        withoutTrailingSlashes(QDir::tempPath().toStdString()) + "/towerwatch-" + std::to_string(::getuid());
    // A folder someone else made first under this name is refused below, never used.
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {{}, folder + " cannot be made"};
    std::string problem = privateFolderProblem(folder);
    if (!problem.empty()) return {{}, std::move(problem)};
    return {folder, {}};
}

SingleInstance::SingleInstance(const std::string& name, InstanceFolder folder)
    : m_lockPath(folder.path.empty() ? std::string() : folder.path + "/" + name + ".lock"),
      m_socketPath(folder.path.empty() ? std::string() : folder.path + "/" + name),
      m_problem(std::move(folder.problem)) {}

SingleInstance::~SingleInstance() {
    m_server.reset();  // removes the socket file while the lock is still held
    if (m_lockFd >= 0) ::close(m_lockFd);
}

SingleInstance::Claim SingleInstance::claim() {
    if (m_lockPath.empty()) return Claim::Unguarded;
    m_lockFd = ::open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (m_lockFd < 0) {
        m_problem = m_lockPath + " cannot be opened";
        return Claim::Unguarded;
    }
    // Whoever owns the lock file can hold it against us: only our own is used.
    struct stat st {};
    if (::fstat(m_lockFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(m_lockFd);
        m_lockFd = -1;
        m_problem = m_lockPath + " is not this user's own file";
        return Claim::Unguarded;
    }
    int locked;
    do locked = ::flock(m_lockFd, LOCK_EX | LOCK_NB);
    while (locked != 0 && errno == EINTR);
    if (locked != 0) {
        const int error = errno;
        ::close(m_lockFd);
        m_lockFd = -1;
        if (error != EWOULDBLOCK) {
            m_problem = m_lockPath + " cannot be locked";
            return Claim::Unguarded;
        }
        // The running copy may still be starting and not listen yet; this one ends all the same.
        askToShow(m_socketPath);
        return Claim::AnotherRuns;
    }
    acceptRequests();
    return Claim::OnlyCopy;
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
