// herald-sim: serves a living status document and a location list on a loopback port.
//
//   herald-sim --port N [--seed S] [--chunked] [--interval SECONDS] [--pad BYTES]
//              [--exit-after SECONDS] [--tls CERT KEY [--redirect-from PORT]]
//
// Port 0 picks a free port. The first line printed is "listening on 127.0.0.1:PORT"; with
// --redirect-from the next is "redirecting from 127.0.0.1:PORT"; after them, one line per
// keep that changes hands: server, keep, old owner, new owner, separated by tabs. An
// interval of 0 advances the war once before every status download but the first, so each
// download differs from the one before. --exit-after stops the simulator by itself; SIGINT
// and SIGTERM stop it at once.
//
// --tls serves the same content over TLS with a PEM certificate (chain) and key, and the
// location list then names https:// entries; --redirect-from adds a plain-HTTP port (0: a
// free one) that answers every request with a 301 to the same path on the TLS port, as
// public web hosts do.

#include <httplib.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "frontier.h"
#include "herald_document.h"

namespace {

struct Options {
    int port = -1;
    std::uint32_t seed = 1;
    bool chunked = false;
    double interval = 60;
    std::size_t pad = 0;
    double exitAfter = 0;  // 0: run until stopped
    std::string tlsCert, tlsKey;  // both empty: plain HTTP
    int redirectFrom = -1;        // -1: no redirecting listener
};

[[noreturn]] void usage(const char* why) {
    std::fprintf(stderr, "herald-sim: %s\nusage: herald-sim --port N [--seed S] [--chunked] "
                         "[--interval SECONDS] [--pad BYTES] [--exit-after SECONDS]\n"
                         "                 [--tls CERT KEY [--redirect-from PORT]]\n", why);
    std::exit(2);
}

double number(const char* text, const char* option) {
    char* end = nullptr;
    const double value = std::strtod(text, &end);
    if (end == text || *end != '\0' || value < 0) usage((std::string("bad value for ") + option).c_str());
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) usage(("missing value for " + arg).c_str());
            return argv[++i];
        };
        if (arg == "--port") o.port = static_cast<int>(number(value(), "--port"));
        else if (arg == "--seed") o.seed = static_cast<std::uint32_t>(number(value(), "--seed"));
        else if (arg == "--chunked") o.chunked = true;
        else if (arg == "--interval") o.interval = number(value(), "--interval");
        else if (arg == "--pad") o.pad = static_cast<std::size_t>(number(value(), "--pad"));
        else if (arg == "--exit-after") o.exitAfter = number(value(), "--exit-after");
        else if (arg == "--tls") {
            o.tlsCert = value();
            o.tlsKey = value();
        } else if (arg == "--redirect-from") o.redirectFrom = static_cast<int>(number(value(), "--redirect-from"));
        else usage(("unknown option " + arg).c_str());
    }
    if (o.port < 0 || o.port > 65535) usage("--port N is required (0 picks a free port)");
    if (o.redirectFrom > 65535) usage("bad value for --redirect-from");
    if (o.redirectFrom >= 0 && o.tlsCert.empty()) usage("--redirect-from needs --tls");
    return o;
}

class Herald {
public:
    explicit Herald(const Options& options) : m_options(options), m_frontier(options.seed) {}

    std::string statusDocument() {
        std::lock_guard lock(m_mutex);
        if (m_options.interval == 0 && m_served++ > 0) advanceLocked();
        return herald_sim::heraldDocument(m_frontier, m_options.pad);
    }

    void advance() {
        std::lock_guard lock(m_mutex);
        advanceLocked();
    }

private:
    void advanceLocked() {
        for (const auto& c : m_frontier.advance())
            std::printf("%s\t%s\t%s\t%s\n", c.server.c_str(), c.keep.c_str(), c.oldOwner.c_str(), c.newOwner.c_str());
        std::fflush(stdout);
    }

    Options m_options;
    std::mutex m_mutex;
    herald_sim::Frontier m_frontier;
    unsigned long m_served = 0;
};

void reply(httplib::Response& res, std::string body, const char* type, bool chunked) {
    if (!chunked) {
        res.set_content(std::move(body), type);
        return;
    }
    auto text = std::make_shared<std::string>(std::move(body));
    res.set_chunked_content_provider(type, [text](std::size_t offset, httplib::DataSink& sink) {
        constexpr std::size_t kChunk = 8 * 1024;
        if (offset < text->size()) {
            sink.write(text->data() + offset, std::min(kChunk, text->size() - offset));
        } else {
            sink.done();
        }
        return true;
    });
}

// Binds to 127.0.0.1 on `port` (0: a free one); the port bound, or -1.
int bindLoopback(httplib::Server& server, int port) {
    if (port == 0) return server.bind_to_any_port("127.0.0.1");
    return server.bind_to_port("127.0.0.1", port) ? port : -1;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseOptions(argc, argv);

    // Stop signals are taken by sigwait below, never by a handler in a server thread.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Herald herald(options);
    const bool tls = !options.tlsCert.empty();
    std::unique_ptr<httplib::Server> serverOwner;
    if (tls) serverOwner = std::make_unique<httplib::SSLServer>(options.tlsCert.c_str(), options.tlsKey.c_str());
    else serverOwner = std::make_unique<httplib::Server>();
    httplib::Server& server = *serverOwner;
    if (!server.is_valid()) {
        std::fprintf(stderr, "herald-sim: cannot load the certificate %s or the key %s\n",
                     options.tlsCert.c_str(), options.tlsKey.c_str());
        return 1;
    }
    const int port = bindLoopback(server, options.port);
    if (port <= 0) {
        std::fprintf(stderr, "herald-sim: cannot listen on 127.0.0.1:%d\n", options.port);
        return 1;
    }
    const std::string self = "127.0.0.1:" + std::to_string(port);
    const std::string selfLocation = (tls ? "https://" : "") + self;

    httplib::Server redirector;
    int redirectPort = -1;
    if (options.redirectFrom >= 0) {
        redirectPort = bindLoopback(redirector, options.redirectFrom);
        if (redirectPort <= 0) {
            std::fprintf(stderr, "herald-sim: cannot listen on 127.0.0.1:%d\n", options.redirectFrom);
            return 1;
        }
        // Every method and path, before routing: nothing is served on this port.
        redirector.set_pre_routing_handler([&](const httplib::Request& req, httplib::Response& res) {
            res.status = 301;
            res.set_header("Location", "https://" + self + req.target);
            res.set_content("moved to https://" + self + req.target + "\n", "text/plain");
            return httplib::Server::HandlerResponse::Handled;
        });
    }

    server.Get("/server-info.xml", [&](const httplib::Request&, httplib::Response& res) {
        reply(res, herald.statusDocument(), "text/xml", options.chunked);
    });
    server.Get("/towerwatchlocations.txt", [&](const httplib::Request&, httplib::Response& res) {
        // One location per server set, both pointing back here.
        reply(res, selfLocation + "/server-info.xml\r\n" + selfLocation + "/server-info.xml", "text/plain",
              options.chunked);
    });

    std::printf("listening on %s\n", self.c_str());
    if (redirectPort > 0) std::printf("redirecting from 127.0.0.1:%d\n", redirectPort);
    std::fflush(stdout);
    std::thread listener([&] { server.listen_after_bind(); });
    std::thread redirecting([&] {
        if (redirectPort > 0) redirector.listen_after_bind();
    });

    std::mutex waitMutex;
    std::condition_variable wake;
    std::atomic<bool> stopping{false};
    std::thread ticker([&] {
        using Clock = std::chrono::steady_clock;
        const auto start = Clock::now();
        auto nextTick = start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.interval));
        const auto end = options.exitAfter > 0
            ? start + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.exitAfter))
            : Clock::time_point::max();
        std::unique_lock lock(waitMutex);
        while (!stopping) {
            const auto until = options.interval > 0 ? std::min(nextTick, end) : end;
            wake.wait_until(lock, until, [&] { return stopping.load(); });
            if (stopping) break;
            if (Clock::now() >= end) {
                kill(getpid(), SIGTERM);
                break;
            }
            if (options.interval > 0 && Clock::now() >= nextTick) {
                herald.advance();
                nextTick += std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(options.interval));
            }
        }
    });

    int caught = 0;
    sigwait(&stopSignals, &caught);
    {
        std::lock_guard lock(waitMutex);
        stopping = true;
    }
    wake.notify_all();
    server.stop();
    redirector.stop();
    listener.join();
    redirecting.join();
    ticker.join();
    return 0;
}
