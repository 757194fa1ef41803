#include "herald/server_entries.h"

#include <string_view>

#include "herald/document_names.h"
#include "herald/scanning.h"
#include "runtime/text.h"

namespace tw {
namespace {

constexpr int kKeepElement = 1;
constexpr int kOtherElement = 0;

bool startsWith(std::string_view line, std::string_view prefix) {
    return line.substr(0, prefix.size()) == prefix;
}

KeepRecord elementRecord(const std::string& line) {
    return KeepRecord{"", boundedName(ReturnValue(line, "name")), ReturnValue(line, "realm")};
}

}  // namespace

std::vector<ServerEntry> readServerEntries(const std::string& XMLData) {
    std::vector<ServerEntry> entries;
    double position = 1;
    for (std::string name = GetXML(XMLData, "server", "name", position); !name.empty();
         name = GetXML(XMLData, "server", "name", position)) {
        // Status and population are searched from where the name's walk left off.
        std::string status = GetSimpleXML(XMLData, "status", position);
        std::string population = GetSimpleXML(XMLData, "population", position);
        entries.push_back({std::move(name), std::move(status), std::move(population)});
        position += 1;
    }
    return entries;
}

void scanOwnership(const std::string& XMLData, const std::string& MonitorServer,
                   OwnershipSnapshot& into) {
    bool InServer = false;
    int ElementKind = kOtherElement;
    std::size_t from = 0;
    // Only whole lines count: text after the last line feed is never examined.
    for (std::size_t lf = XMLData.find('\n'); lf != std::string::npos;
         from = lf + 1, lf = XMLData.find('\n', from)) {
        const std::string line =
            trimSpaces(replaceAll(std::string_view(XMLData).substr(from, lf - from), "\r", ""));
        if (startsWith(line, "<server ")) {
            InServer = ReturnValue(line, "name") == MonitorServer;
            continue;
        }
        if (!InServer) continue;
        if (startsWith(line, "<keep ")) {
            ElementKind = kKeepElement;
            into.Keeps.push_back(elementRecord(line));
        } else if (startsWith(line, "<relic ")) {
            ElementKind = kOtherElement;
            into.Relics.push_back(elementRecord(line));
        } else if (startsWith(line, "<owner>") && ElementKind == kKeepElement) {
            // The owner runs to the next "<"; a line without one makes a negative length,
            // which fails the whole run.
            const long long end = inStr(8, line, "<");
            into.Keeps.back().Owner = boundedName(mid(line, 8, end - 8));
        }
    }
}

}  // namespace tw
