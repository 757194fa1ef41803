#include "frontier.h"

#include <algorithm>
#include <array>

namespace herald_sim {
namespace {

const std::array<const char*, 3> kRealms = {"Midgard", "Albion", "Hibernia"};
const std::array<const char*, 4> kServerNames = {"Emberfall", "Stonewake", "Gloamreach", "Tidehollow"};

struct Place {
    const char* name;
    const char* realm;
};

const std::array<Place, 6> kRelics = {{
    // Short names: the relic column of the main window is narrow.
    {"Frost Anvil", "Midgard"}, {"Raven Horn", "Midgard"}, {"Sunken Crown", "Albion"},
    {"Ashen Lance", "Albion"},  {"Willow Harp", "Hibernia"}, {"Tidal Stone", "Hibernia"},
}};

const std::array<Place, 14> kKeeps = {{
    {"Caer Brightwold", "Albion"},  {"Caer Harrowmere", "Albion"}, {"Caer Fenlock", "Albion"},
    {"Caer Aldmoor", "Albion"},     {"Dun Faolmhor", "Hibernia"},  {"Dun Keelan", "Hibernia"},
    {"Dun Ardcross", "Hibernia"},   {"Dun Sionnach", "Hibernia"},  {"Hroth Faste", "Midgard"},
    {"Isval Faste", "Midgard"},     {"Gnipa Faste", "Midgard"},    {"Varg Faste", "Midgard"},
    {"Thornwatch Keep", "Neutral"}, {"Mirefield Keep", "Neutral"},
}};

const std::array<const char*, 3> kGuildWords = {"Wardens", "Company", "Circle"};
const std::array<const char*, 4> kGuildNames = {"Grey", "Ninth", "Lantern", "Salt"};

}  // namespace

Frontier::Frontier(std::uint32_t seed) : m_random(seed) {
    for (const char* name : kServerNames) {
        Server server;
        server.name = name;
        server.population = 200 + static_cast<int>(m_random() % 1800);
        for (const Place& p : kRelics) server.relics.push_back({p.name, p.realm, p.realm});
        for (const Place& p : kKeeps) {
            Keep keep{p.name, p.realm, p.realm, ""};
            // Frontier keeps mostly start at home; battleground keeps go to anyone.
            if (keep.realm == "Neutral" || m_random() % 4 == 0) keep.owner = kRealms[m_random() % 3];
            if (m_random() % 2 == 0) keep.claimant = guildOf(keep.owner);
            server.keeps.push_back(keep);
        }
        m_servers.push_back(std::move(server));
    }
}

std::string Frontier::guildOf(const std::string& realm) {
    return std::string(kGuildNames[m_random() % kGuildNames.size()]) + " " +
           kGuildWords[m_random() % kGuildWords.size()] + " of " + realm;
}

std::vector<OwnerChange> Frontier::advance() {
    std::vector<OwnerChange> changes;
    const unsigned captures = 1 + m_random() % 3;
    for (unsigned i = 0; i < captures; ++i) {
        Server& server = m_servers[m_random() % m_servers.size()];
        if (!server.up) continue;
        Keep& keep = server.keeps[m_random() % server.keeps.size()];
        unsigned held = 0;  // an owner outside the three realms counts as Midgard's
        for (unsigned r = 0; r < kRealms.size(); ++r)
            if (keep.owner == kRealms[r]) held = r;
        const std::string taker = kRealms[(held + 1 + m_random() % 2) % kRealms.size()];
        changes.push_back({server.name, keep.name, keep.owner, taker});
        keep.owner = taker;
        keep.claimant = m_random() % 3 == 0 ? "" : guildOf(taker);
    }
    for (Server& server : m_servers) {
        server.population = std::max(0, server.population + static_cast<int>(m_random() % 201) - 100);
        if (m_random() % 25 == 0) server.up = !server.up;
    }
    return changes;
}

}  // namespace herald_sim
