#pragma once
// Debian's nginx as a TLS peer we did not write: started in the foreground with a
// configuration of its own in a folder the caller owns (prefix, pid file, logs and temp
// paths all inside it), serving a root folder the caller fills over `ssl` on a free
// loopback port. The constructor waits until the port accepts; the destructor kills and
// reaps nginx. When /usr/sbin/nginx is missing, tests skip with "nginx is not installed".

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "loopback.h"
#include "spawned_process.h"
#include "test_ca.h"

namespace tw::testing {

class NginxPeer {
public:
    static constexpr const char* kProgram = "/usr/sbin/nginx";
    static bool installed() { return ::access(kProgram, X_OK) == 0; }

    // port() is 0 when nginx did not come up within the time allowed; errorLog() says why.
    NginxPeer(const std::string& folder, const std::string& root, const ServerFiles& certificate)
        : m_folder(folder) {
        // A port the system picked a moment ago; nginx binds it anew.
        int port = 0;
        const int probe = bindLoopback(port, 0);
        if (probe < 0) return;
        ::close(probe);

        const std::string conf = folder + "/nginx.conf";
        std::ofstream(conf) << configuration(port, root, certificate);
        m_process = std::make_unique<SpawnedProcess>(
            std::vector<std::string>{kProgram, "-p", folder + "/", "-c", conf, "-e", folder + "/error.log"},
            folder + "/output.log");
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (m_process->running() && std::chrono::steady_clock::now() < deadline) {
            if (accepts(port)) {
                m_port = port;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    }
    NginxPeer(const NginxPeer&) = delete;
    NginxPeer& operator=(const NginxPeer&) = delete;

    int port() const { return m_port; }
    std::string errorLog() const {
        std::ostringstream text;
        text << std::ifstream(m_folder + "/error.log").rdbuf() << std::ifstream(m_folder + "/output.log").rdbuf();
        return text.str();
    }

private:
    // One process (no master, no workers switching to another user), every path inside the
    // folder so nothing of the system's nginx setup is read or written.
    static std::string configuration(int port, const std::string& root, const ServerFiles& certificate) {
        const std::string p = "127.0.0.1:" + std::to_string(port);
        return "daemon off;\nmaster_process off;\npid nginx.pid;\nevents { worker_connections 64; }\nhttp {\n"
               "  access_log off;\n  client_body_temp_path body;\n  proxy_temp_path proxy;\n"
               "  fastcgi_temp_path fastcgi;\n  uwsgi_temp_path uwsgi;\n  scgi_temp_path scgi;\n"
               "  types { text/xml xml; text/plain txt; }\n  default_type application/octet-stream;\n"
               "  server {\n    listen " + p + " ssl;\n    ssl_certificate " + certificate.certFile + ";\n"
               "    ssl_certificate_key " + certificate.keyFile + ";\n    root " + root + ";\n  }\n}\n";
    }

    static bool accepts(int port) {
        const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (s < 0) return false;
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(static_cast<std::uint16_t>(port));
        const bool ok = ::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
        ::close(s);
        return ok;
    }

    std::string m_folder;
    std::unique_ptr<SpawnedProcess> m_process;
    int m_port = 0;
};

}  // namespace tw::testing
