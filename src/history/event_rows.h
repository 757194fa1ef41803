#pragma once
// The history viewer's events, kept as the places of their lines in the log's text: a long
// log costs its bytes and two words per event. An event is split again from its line when
// it is asked for; the few whose fields had to be unquoted apart from the text are kept
// whole beside it.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "history/event_log.h"

namespace tw {

class EventRows {
public:
    // Forgets every event and holds `logText`, which the events added next come from.
    void reset(std::string logText = {});
    const std::string& text() const { return m_text; }

    // One event of the text as forEachEventLine hands it out, with its line.
    void add(const HistoryEventView& event, std::string_view line);

    std::size_t size() const { return m_rows.size(); }
    bool empty() const { return m_rows.empty(); }
    // Event i, its fields pointing into the text (or beside it); valid until the next reset.
    HistoryEventView operator[](std::size_t i) const;
    HistoryEventView at(std::size_t i) const;
    // All of them, oldest first.
    std::vector<HistoryEventView> views() const;

private:
    struct Row {
        std::size_t at;  // the line's start in the text, or the index in m_apart
        std::uint32_t length;
        bool apart;
    };
    std::string m_text;
    std::vector<Row> m_rows;
    // Events with a field unquoted apart from the text, and those fields (a deque, so
    // growing it moves none of them).
    std::vector<HistoryEventView> m_apart;
    std::deque<std::string> m_unquoted;
};

}  // namespace tw
