#include "herald_document.h"

namespace herald_sim {
namespace {

std::string guildPage(const std::string& guild) {
    std::string page = "http://guilds.herald.example/";
    for (char c : guild) page += c == ' ' ? '_' : c;
    return page;
}

}  // namespace

std::string heraldDocument(const Frontier& frontier, std::size_t padTo) {
    std::string doc = "<?xml version=\"1.0\"?>\n<herald>\n";
    for (const Server& s : frontier.servers()) {
        doc += "  <server name=\"" + s.name + "\">\n";
        doc += std::string("    <status>") + (s.up ? "Up" : "Down") + "</status>\n";
        doc += "    <population>" + std::to_string(s.population) + "</population>\n";
        for (const Relic& r : s.relics) {
            doc += "    <relic name=\"" + r.name + "\" realm=\"" + r.realm + "\">\n";
            doc += "      <owner>" + r.owner + "</owner>\n";
            doc += "    </relic>\n";
        }
        for (const Keep& k : s.keeps) {
            doc += "    <keep name=\"" + k.name + "\" realm=\"" + k.realm + "\">\n";
            doc += "      <owner>" + k.owner + "</owner>\n";
            doc += "      <claimant>" + k.claimant + "</claimant>\n";
            doc += "      <claimant_heraldurl>" + (k.claimant.empty() ? "" : guildPage(k.claimant)) +
                   "</claimant_heraldurl>\n";
            doc += "    </keep>\n";
        }
        doc += "  </server>\n";
    }
    doc += "</herald>\n";
    if (doc.size() < padTo) {
        // Padding inside a comment, broken into lines, is text no reader looks at.
        std::string pad = "<!--\n";
        const std::size_t want = padTo - doc.size();
        while (pad.size() + 4 < want) pad += std::string(std::min<std::size_t>(79, want - pad.size() - 4), '.') + "\n";
        doc += pad + "-->\n";
    }
    return doc;
}

}  // namespace herald_sim
