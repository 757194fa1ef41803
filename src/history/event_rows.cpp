#include "history/event_rows.h"

#include <functional>
#include <limits>
#include <stdexcept>
#include <utility>

namespace tw {

void EventRows::reset(std::string logText) {
    // The old rows go first, so a long log is not held twice while it is read again.
    m_rows = {};
    m_apart = {};
    m_unquoted = {};
    std::string().swap(m_text);  // assigning an empty text would keep the old one's buffer
    m_text = std::move(logText);
}

void EventRows::add(const HistoryEventView& event, std::string_view line) {
    const std::less_equal<const char*> notAfter;
    auto inLine = [&](std::string_view field) {
        return notAfter(line.data(), field.data()) && notAfter(field.data() + field.size(), line.data() + line.size());
    };
    const bool inText = inLine(event.Place) && inLine(event.When) && inLine(event.NewOwner) && inLine(event.OldOwner);
    if (inText && line.size() < std::numeric_limits<std::uint32_t>::max()) {
        m_rows.push_back({static_cast<std::size_t>(line.data() - m_text.data()),
                          static_cast<std::uint32_t>(line.size()), false});
        return;
    }
    auto keep = [&](std::string_view field) {
        return inLine(field) ? field : std::string_view(m_unquoted.emplace_back(field));
    };
    m_rows.push_back({m_apart.size(), 0, true});
    m_apart.push_back({keep(event.Place), keep(event.When), keep(event.NewOwner), keep(event.OldOwner)});
}

HistoryEventView EventRows::operator[](std::size_t i) const {
    const Row& row = m_rows[i];
    if (row.apart) return m_apart[row.at];
    // Its fields lay in the line when it was added, so they do so again: no scratch is used.
    std::string scratch;
    return *splitEventLine(std::string_view(m_text).substr(row.at, row.length), scratch);
}

HistoryEventView EventRows::at(std::size_t i) const {
    if (i >= m_rows.size()) throw std::out_of_range("EventRows::at");
    return (*this)[i];
}

std::vector<HistoryEventView> EventRows::views() const {
    std::vector<HistoryEventView> all;
    all.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i) all.push_back((*this)[i]);
    return all;
}

}  // namespace tw
