// Runs the bundled herald simulator on a free loopback port and downloads from it with the
// program's own request texts and reply reader over a plain blocking socket.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "net/http_requests.h"
#include "net/location_list.h"
#include "net/reply_reader.h"

extern char** environ;

namespace tw {
namespace {

// One simulator process, stopped when the object goes. It also stops by itself after 30 s.
class Simulator {
public:
    explicit Simulator(std::vector<std::string> args) {
        int fds[2];
        if (pipe(fds) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_addclose(&actions, fds[0]);
        args.insert(args.begin(), {HERALD_SIM_PATH, "--port", "0", "--exit-after", "30"});
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&m_pid, HERALD_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(fds[1]);
        m_out = fds[0];
        const std::string first = nextLine();
        const std::string prefix = "listening on 127.0.0.1:";
        if (first.rfind(prefix, 0) == 0) m_port = std::stoi(first.substr(prefix.size()));
    }
    ~Simulator() {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
        if (m_out >= 0) close(m_out);
    }

    int port() const { return m_port; }

    // The next line the simulator printed, "" when none comes within the wait.
    std::string nextLine(int waitMs = 5000) {
        for (;;) {
            const auto end = m_pending.find('\n');
            if (end != std::string::npos) {
                std::string line = m_pending.substr(0, end);
                m_pending.erase(0, end + 1);
                return line;
            }
            pollfd p{m_out, POLLIN, 0};
            if (poll(&p, 1, waitMs) <= 0) return {};
            char buf[4096];
            const ssize_t n = read(m_out, buf, sizeof buf);
            if (n <= 0) return {};
            m_pending.append(buf, static_cast<std::size_t>(n));
        }
    }

private:
    pid_t m_pid = -1;
    int m_out = -1;
    int m_port = 0;
    std::string m_pending;
};

struct Download {
    ReplyProgress progress = ReplyProgress::NeedMore;
    ReplyMode mode = ReplyMode::Unknown;
    std::string body;
};

// Sends the request and feeds everything that comes back to a reader, as the window does.
Download fetch(int port, const std::string& request) {
    Download result;
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<std::uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        send(fd, request.data(), request.size(), 0) == static_cast<ssize_t>(request.size())) {
        ReplyReader reader;
        char buf[16384];
        while (result.progress == ReplyProgress::NeedMore) {
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n < 0) break;
            result.progress = n == 0 ? reader.peerClosed().progress
                                     : reader.feed(std::string_view(buf, static_cast<std::size_t>(n))).progress;
        }
        result.mode = reader.mode();
        if (result.progress == ReplyProgress::Complete) result.body = reader.takeBody();
    }
    close(fd);
    return result;
}

Download fetchStatus(const Simulator& sim) {
    const std::string entry = "127.0.0.1:" + std::to_string(sim.port()) + "/server-info.xml";
    return fetch(sim.port(), statusRequest(splitLocation(entry), kMakerWebHost));
}

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(' ');
    return first == std::string::npos ? "" : line.substr(first);
}

std::string attribute(const std::string& line, const std::string& name) {
    const auto at = line.find(name + "=\"");
    if (at == std::string::npos) return "";
    const auto start = at + name.size() + 2;
    return line.substr(start, line.find('"', start) - start);
}

// Walks the document the way the program's readers expect it laid out and collects the
// owner of every keep, failing the test on a line out of place.
std::map<std::string, std::string> keepOwners(const std::string& doc, int& servers) {
    std::map<std::string, std::string> owners;
    std::vector<std::string> lines;
    for (std::size_t from = 0, end; (end = doc.find('\n', from)) != std::string::npos; from = end + 1)
        lines.push_back(trimmed(doc.substr(from, end - from)));
    servers = 0;
    std::string server;
    bool seenKeep = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string& l = lines[i];
        if (l.rfind("<server name=\"", 0) == 0) {
            ++servers;
            server = attribute(l, "name");
            seenKeep = false;
            EXPECT_EQ(lines.at(i + 1).rfind("<status>", 0), 0u) << server;
            EXPECT_EQ(lines.at(i + 2).rfind("<population>", 0), 0u) << server;
        } else if (l.rfind("<relic ", 0) == 0) {
            EXPECT_FALSE(seenKeep) << "relic after a keep in " << server;
            EXPECT_FALSE(attribute(l, "realm").empty());
            EXPECT_EQ(lines.at(i + 1).rfind("<owner>", 0), 0u);
        } else if (l.rfind("<keep ", 0) == 0) {
            seenKeep = true;
            const std::string owner = lines.at(i + 1);
            EXPECT_EQ(owner.rfind("<owner>", 0), 0u);
            EXPECT_EQ(lines.at(i + 2).rfind("<claimant>", 0), 0u);
            EXPECT_EQ(lines.at(i + 3).rfind("<claimant_heraldurl>", 0), 0u);
            EXPECT_EQ(lines.at(i + 4), "</keep>");
            owners[server + "\t" + attribute(l, "name")] = owner.substr(7, owner.find('<', 7) - 7);
        }
    }
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "</server>"), servers);
    return owners;
}

TEST(HeraldSimulator, ServesTheDocumentLaidOutForTheReadersBothWays) {
    Simulator counted({"--seed", "7"});
    Simulator chunked({"--seed", "7", "--chunked", "--pad", "100000"});
    ASSERT_GT(counted.port(), 0);
    ASSERT_GT(chunked.port(), 0);

    const Download plain = fetchStatus(counted);
    ASSERT_EQ(plain.progress, ReplyProgress::Complete);
    EXPECT_EQ(plain.mode, ReplyMode::ContentLength);
    int servers = 0;
    const auto owners = keepOwners(plain.body, servers);
    EXPECT_GE(servers, 4);
    std::set<std::string> realms;
    for (const auto& [keep, owner] : owners) realms.insert(owner);
    EXPECT_EQ(realms, (std::set<std::string>{"Albion", "Hibernia", "Midgard"}));

    // The same seed gives the same frontier; the padding is a comment after it.
    const Download big = fetchStatus(chunked);
    ASSERT_EQ(big.progress, ReplyProgress::Complete);
    EXPECT_EQ(big.mode, ReplyMode::Chunked);
    EXPECT_GE(big.body.size(), 100000u);
    EXPECT_EQ(big.body.substr(0, plain.body.size()), plain.body);
}

TEST(HeraldSimulator, LocationListPointsBackAtTheSimulator) {
    Simulator sim({});
    ASSERT_GT(sim.port(), 0);
    const Download list = fetch(sim.port(), locationListRequest("127.0.0.1:" + std::to_string(sim.port())));
    ASSERT_EQ(list.progress, ReplyProgress::Complete);
    const auto entries = parseLocationList(list.body + "\r\n");
    ASSERT_GE(entries.size(), 2u);
    for (std::size_t set = 0; set < 2; ++set) {
        const Location where = splitLocation(entries[set]);
        EXPECT_EQ(where.path, "/server-info.xml");
        EXPECT_EQ(splitHostPort(where.host).port, sim.port());
        EXPECT_EQ(fetch(sim.port(), statusRequest(where, kMakerWebHost)).progress, ReplyProgress::Complete);
    }
}

TEST(HeraldSimulator, PrintedChangesAreExactlyTheOwnerDifferences) {
    Simulator sim({"--seed", "3", "--interval", "0"});
    ASSERT_GT(sim.port(), 0);
    int servers = 0;
    auto owners = keepOwners(fetchStatus(sim).body, servers);
    int lines = 0;
    for (int round = 0; round < 5; ++round) {
        const auto after = keepOwners(fetchStatus(sim).body, servers);
        // The changes are printed before the document is sent, so they are all waiting now.
        for (std::string line; !(line = sim.nextLine(300)).empty(); ++lines) {
            const auto tab1 = line.find('\t'), tab2 = line.find('\t', tab1 + 1), tab3 = line.find('\t', tab2 + 1);
            ASSERT_NE(tab3, std::string::npos) << line;
            const std::string keep = line.substr(0, tab2);
            ASSERT_TRUE(owners.count(keep)) << line;
            EXPECT_EQ(owners[keep], line.substr(tab2 + 1, tab3 - tab2 - 1)) << line;
            owners[keep] = line.substr(tab3 + 1);
        }
        EXPECT_EQ(owners, after) << "round " << round;
        owners = after;
    }
    EXPECT_GT(lines, 0);
}

}  // namespace
}  // namespace tw
