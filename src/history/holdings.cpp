#include "history/holdings.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "history/change_detection.h"
#include "runtime/runtime_error.h"

namespace tw {
namespace {

const char* const kCountedRealms[] = {"Midgard", "Albion", "Hibernia"};

struct TextHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
};

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
    std::unordered_map<std::string, int, TextHash, std::equal_to<>> m_numbers;
};

bool isRealm(int owner) { return owner >= 0 && owner < 3; }

// One log line as the walk needs it.
struct LogLine {
    int keep = -1;  // index into the document's keeps; -1 when not there
    int newOwner = 0;
    int oldOwner = 0;
    bool dated = false;
    long long when = 0;
    std::size_t start = 0;
    std::size_t length = 0;
};

template <typename Visit>
void forEachLine(std::string_view text, Visit visit) {
    std::size_t from = 0;
    while (from < text.size()) {
        // A plain loop: find_first_of with a two-byte set costs a memchr per byte.
        std::size_t end = from;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r') ++end;
        visit(from, end - from);
        if (end == text.size()) break;
        // CR LF is one line end, as the viewer reads the log; a lone CR or LF is one too.
        from = end + 1;
        if (text[end] == '\r' && from < text.size() && text[from] == '\n') ++from;
    }
}

}  // namespace

Holdings holdingsOverTime(const std::string& XMLData, const std::string& server,
                          std::string logText, const GeneralDateReader& dates) {
    Holdings result;
    result.logText = std::move(logText);

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

    std::vector<LogLine> lines;
    std::string scratch;
    const std::string_view text = result.logText;
    forEachLine(text, [&](std::size_t start, std::size_t length) {
        const auto event = splitEventLine(text.substr(start, length), scratch);
        if (!event) return;
        LogLine line;
        const auto keep = keepIndex.find(event->Place);
        if (keep != keepIndex.end()) line.keep = keep->second;
        line.newOwner = owners.numberOf(event->NewOwner);
        line.oldOwner = owners.numberOf(event->OldOwner);
        if (const auto when = dates.read(event->When)) {
            line.dated = true;
            line.when = secondsOf(*when);
        }
        line.start = start;
        line.length = length;
        lines.push_back(line);
    });

    // Newest first, from the present back to the oldest line.
    RealmCounts counts = result.present;
    result.steps.reserve(lines.size());
    for (auto line = lines.rbegin(); line != lines.rend(); ++line) {
        if (line->keep < 0 || owner[static_cast<std::size_t>(line->keep)] != line->newOwner) {
            ++result.unfitLines;
            continue;
        }
        if (line->dated)
            result.steps.push_back({line->when, counts, line->start, line->length});
        else
            ++result.undatedLines;
        const std::size_t k = static_cast<std::size_t>(line->keep);
        if (counted[k]) {
            if (isRealm(line->newOwner)) --counts[static_cast<std::size_t>(line->newOwner)];
            if (isRealm(line->oldOwner)) ++counts[static_cast<std::size_t>(line->oldOwner)];
        }
        owner[k] = line->oldOwner;
    }
    result.start = counts;
    std::reverse(result.steps.begin(), result.steps.end());
    return result;
}

HistoryEvent Holdings::change(std::size_t i) const {
    const HoldingStep& step = steps.at(i);
    std::string scratch;
    const auto event =
        splitEventLine(std::string_view(logText).substr(step.lineStart, step.lineLength), scratch);
    return event ? event->toEvent() : HistoryEvent{};
}

std::string changeSentence(const HistoryEvent& change) {
    return change.Place + " taken by " + change.NewOwner + " from " + change.OldOwner + " at " +
           change.When;
}

}  // namespace tw
