// Throughput of a CSocket download over loopback, side by side with curl fetching the same
// bytes from the same peer in the same run. The peer is a plain blocking HTTP responder on
// its own thread: it answers every connection with the same 64 MiB body.
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "loopback.h"
#include "net/c_socket.h"

namespace {

constexpr std::size_t kBodySize = 64u << 20;

class Peer {
public:
    Peer() : m_body(kBodySize, '\0') {
        for (std::size_t i = 0; i < m_body.size(); ++i) m_body[i] = static_cast<char>('a' + i % 26);
        m_listener = tw::testing::bindLoopback(m_port, 4);
        m_thread = std::thread([this] { serve(); });
    }
    ~Peer() {
        m_stop = true;
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }
    int port() const { return m_port; }

private:
    void serve() {
        while (!m_stop) {
            const int c = ::accept(m_listener, nullptr, nullptr);
            if (c < 0) return;
            char request[4096];
            std::string head;
            while (head.find("\r\n\r\n") == std::string::npos) {
                const ssize_t n = ::recv(c, request, sizeof request, 0);
                if (n <= 0) break;
                head.append(request, static_cast<std::size_t>(n));
            }
            const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(m_body.size()) +
                                      "\r\nConnection: close\r\n\r\n";
            ::send(c, reply.data(), reply.size(), MSG_NOSIGNAL);
            std::size_t sent = 0;
            while (sent < m_body.size()) {
                const ssize_t n = ::send(c, m_body.data() + sent, m_body.size() - sent, MSG_NOSIGNAL);
                if (n <= 0) break;
                sent += static_cast<std::size_t>(n);
            }
            ::shutdown(c, SHUT_WR);
            while (::recv(c, request, sizeof request, 0) > 0) {
            }
            ::close(c);
        }
    }

    std::string m_body;
    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

// One download the way the main window does it: GetData on each arrival, appended to a body.
double downloadWithCSocket(int port, std::size_t& bodyBytes) {
    tw::CSocket sock;
    std::string received;
    received.reserve(kBodySize + 256);
    bool closed = false;
    QEventLoop loop;
    sock.OnConnect = [&] { sock.SendData("GET /body HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"); };
    sock.OnDataArrival = [&](std::int32_t) {
        std::string piece;
        sock.GetData(piece);
        received += piece;
    };
    sock.OnClose = [&] {
        closed = true;
        loop.quit();
    };
    const auto start = std::chrono::steady_clock::now();
    sock.Connect("127.0.0.1", port);
    QTimer::singleShot(60000, &loop, &QEventLoop::quit);
    loop.exec();
    const double took = seconds(std::chrono::steady_clock::now() - start);
    const std::size_t headerEnd = received.find("\r\n\r\n");
    bodyBytes = closed && headerEnd != std::string::npos ? received.size() - headerEnd - 4 : 0;
    return took;
}

double downloadWithCurl(int port) {
    const std::string command = "curl -s -o /dev/null http://127.0.0.1:" + std::to_string(port) + "/body";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) return -1;
    return seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication app(argc, argv);
    Peer peer;
    double best = 1e9, bestCurl = 1e9;
    std::size_t bytes = 0;
    // Alternating runs, best of each, so neither side profits from a warm or quiet moment.
    for (int round = 0; round < 5; ++round) {
        best = std::min(best, downloadWithCSocket(peer.port(), bytes));
        const double c = downloadWithCurl(peer.port());
        if (c < 0) {
            std::fprintf(stderr, "curl failed\n");
            return 2;
        }
        bestCurl = std::min(bestCurl, c);
        if (bytes != kBodySize) {
            std::fprintf(stderr, "CSocket received %zu of %zu body bytes\n", bytes, kBodySize);
            return 2;
        }
    }
    const double ratio = best / bestCurl;
    std::printf("64 MiB over loopback: CSocket %.3f s (%.0f MiB/s), curl %.3f s (%.0f MiB/s), ratio %.2f\n", best,
                64 / best, bestCurl, 64 / bestCurl, ratio);
    return ratio <= 2.0 ? 0 : 1;
}
