#include "history/holdings.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_map>

#include "history/change_detection.h"
#include "runtime/local_zone.h"
#include "runtime/runtime_error.h"
#include "runtime/text.h"

namespace tw {
namespace {

const char* const kCountedRealms[] = {"Midgard", "Albion", "Hibernia"};

// Owner texts as small numbers; the three realms are 0, 1 and 2.
class OwnerNumbers {
public:
    OwnerNumbers() {
        for (const char* realm : kCountedRealms) numberOf(realm);
    }
    int numberOf(std::string_view owner) {
        const auto found = m_numbers.find(owner);
        if (found != m_numbers.end()) return found->second;
        const int number = static_cast<int>(m_numbers.size());
        m_numbers.emplace(std::string(owner), number);
        return number;
    }

private:
    std::unordered_map<std::string, int, StringViewHash, std::equal_to<>> m_numbers;
};

bool isRealm(int owner) { return owner >= 0 && owner < 3; }

// Calls visit(start, length) for every line of a log's text, the last line first. Lines end
// at LF, CR LF or a lone CR, as the viewer reads them; a "line" after the final line end is
// empty and splits into no event.
template <typename Visit>
void forEachLineBackwards(std::string_view text, Visit visit) {
    std::size_t end = text.size();
    while (true) {
        std::size_t start = end;
        while (start > 0 && text[start - 1] != '\n' && text[start - 1] != '\r') --start;
        visit(start, end - start);
        if (start == 0) break;
        end = start - 1;  // the line end before this line; CR LF counts as one
        if (text[end] == '\n' && end > 0 && text[end - 1] == '\r') --end;
    }
}

}  // namespace

Holdings holdingsOverTime(const std::string& XMLData, const std::string& server,
                          std::string logText, const GeneralDateReader& dates) {
    Holdings result;
    result.logText = std::move(logText);
    // Steps note their lines in 32 bits, which keeps a long log's steps small; lines before
    // the last 4 GiB of a log are left out.
    constexpr std::size_t kMostText = std::numeric_limits<std::uint32_t>::max();
    if (result.logText.size() > kMostText) {
        const std::size_t cut = result.logText.find_first_of("\r\n", result.logText.size() - kMostText);
        result.logText.erase(0, cut == std::string::npos ? result.logText.size() : cut);
    }

    OwnershipSnapshot document;
    try {
        scanOwnership(XMLData, server, document);
    } catch (const RuntimeError&) {
        // The keeps read before the broken owner line are still right; lines about the
        // others will not fit and are counted.
    }
    std::vector<KeepRecord>& keeps = document.Keeps;
    keeps.erase(keeps.begin());  // the empty placeholder

    OwnerNumbers owners;
    std::unordered_map<std::string_view, int> keepIndex;
    std::vector<int> owner(keeps.size());
    std::vector<bool> counted(keeps.size());
    for (std::size_t k = 0; k < keeps.size(); ++k) {
        keepIndex.emplace(keeps[k].Name, static_cast<int>(k));  // the first of a name wins
        owner[k] = owners.numberOf(keeps[k].Owner);
        counted[k] = keeps[k].Realm != "Neutral";
        if (counted[k] && isRealm(owner[k])) ++result.present[static_cast<std::size_t>(owner[k])];
    }

    // From the present back to the oldest line: no line is held, and only fitting lines
    // have their dates read.
    RealmCounts counts = result.present;
    std::string scratch;
    ZonedSeconds seconds;
    const std::string_view text = result.logText;
    // A step per line at most: room for all at once, rather than copies of a growing list.
    result.steps.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
    forEachLineBackwards(text, [&](std::size_t start, std::size_t length) {
        const auto event = splitEventLine(text.substr(start, length), scratch);
        if (!event) return;
        const auto keep = keepIndex.find(event->Place);
        const int newOwner = owners.numberOf(event->NewOwner);
        if (keep == keepIndex.end() || owner[static_cast<std::size_t>(keep->second)] != newOwner) {
            ++result.unfitLines;
            return;
        }
        if (const auto when = dates.read(event->When))
            result.steps.push_back({seconds.of(*when), counts, static_cast<std::uint32_t>(start)});
        else
            ++result.undatedLines;
        const std::size_t k = static_cast<std::size_t>(keep->second);
        const int oldOwner = owners.numberOf(event->OldOwner);
        if (counted[k]) {
            if (isRealm(newOwner)) --counts[static_cast<std::size_t>(newOwner)];
            if (isRealm(oldOwner)) ++counts[static_cast<std::size_t>(oldOwner)];
        }
        owner[k] = oldOwner;
    });
    result.start = counts;
    std::reverse(result.steps.begin(), result.steps.end());
    return result;
}

HistoryEvent Holdings::change(std::size_t i) const {
    const std::string_view line = std::string_view(logText).substr(steps.at(i).lineStart);
    std::string scratch;
    const auto event = splitEventLine(line.substr(0, line.find_first_of("\r\n")), scratch);
    return event ? event->toEvent() : HistoryEvent{};
}

std::string changeSentence(const HistoryEvent& change) {
    return change.Place + " taken by " + change.NewOwner + " from " + change.OldOwner + " at " +
           change.When;
}

}  // namespace tw
