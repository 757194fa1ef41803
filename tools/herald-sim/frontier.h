#pragma once
// The simulated frontier: a few servers, each with its relics and keeps, whose keeps change
// hands on a schedule drawn from one seed, while populations drift and a server now and then
// goes down. The same seed always gives the same frontier and the same run of changes.

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace herald_sim {

struct Relic {
    std::string name;
    std::string realm;
    std::string owner;
};

struct Keep {
    std::string name;
    std::string realm;  // frontier it lies in, or "Neutral"
    std::string owner;
    std::string claimant;  // guild holding it; "" when unclaimed
};

struct Server {
    std::string name;
    bool up = true;
    int population = 0;
    std::vector<Relic> relics;
    std::vector<Keep> keeps;
};

struct OwnerChange {
    std::string server;
    std::string keep;
    std::string oldOwner;
    std::string newOwner;
};

class Frontier {
public:
    explicit Frontier(std::uint32_t seed);

    // One step of the war: a few keeps change owner (returned in document order of the
    // step), populations move, a server may go down or come back up.
    std::vector<OwnerChange> advance();

    const std::vector<Server>& servers() const { return m_servers; }

private:
    std::string guildOf(const std::string& realm);

    std::mt19937 m_random;
    std::vector<Server> m_servers;
};

}  // namespace herald_sim
