#include "history/held_since_log.h"

#include <algorithm>

namespace tw {
namespace {

// The log is read in blocks, so even a first read of a long one holds little of it at once.
constexpr std::size_t kBlockBytes = 1 << 20;
// How much of its start and of its end last read tells a rewritten log from a grown one.
constexpr std::size_t kSampleBytes = 256;

bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

}  // namespace

const HeldSince* HeldSinceLog::follow(const std::string& path, const DatePatterns& patterns) {
    if (path != m_path) {
        *this = HeldSinceLog();
        m_path = path;
    }
    const std::optional<platform::FileStamp> stamp = platform::fileStamp(path);
    if (m_held && stamp && stamp == m_stamp) return &*m_held;
    // The stamp is taken before reading: lines appended meanwhile are read now and the next
    // call, finding another stamp, reads on from where this one stopped.
    m_stamp = stamp;
    if (stamp && m_held && stamp->size >= m_readTo && onlyAppended() && takeIn()) return &*m_held;
    m_held.emplace("", patterns);
    m_readTo = 0;
    m_head.clear();
    m_tail.clear();
    if (stamp && takeIn()) return &*m_held;
    m_held.reset();
    return nullptr;
}

bool HeldSinceLog::onlyAppended() const {
    const std::optional<std::string> head = platform::readFilePart(m_path, 0, m_head.size());
    if (!head || *head != m_head) return false;
    // The bytes before the end last read, and the one after it.
    const std::optional<std::string> end =
        platform::readFilePart(m_path, m_readTo - static_cast<long long>(m_tail.size()), m_tail.size() + 1);
    if (!end || end->compare(0, m_tail.size(), m_tail) != 0) return false;
    // A last line read without its line end was cut short only if one follows it now.
    const bool lineGrew = !m_tail.empty() && !isLineEnd(m_tail.back()) && end->size() > m_tail.size() &&
                          !isLineEnd(end->back());
    return !lineGrew;
}

bool HeldSinceLog::takeIn() {
    std::string pending;  // the start of a line the next block finishes
    while (true) {
        std::optional<std::string> block = platform::readFilePart(m_path, m_readTo, kBlockBytes);
        if (!block) return false;
        const bool last = block->size() < kBlockBytes;
        if (m_readTo == 0) m_head = block->substr(0, kSampleBytes);
        m_readTo += static_cast<long long>(block->size());
        const std::size_t sample = std::min(block->size(), kSampleBytes);
        m_tail.append(*block, block->size() - sample, sample);
        m_tail.erase(0, m_tail.size() - std::min(m_tail.size(), kSampleBytes));
        std::string text = pending.empty() ? std::move(*block) : pending + *block;
        // Up to the last line end; at the file's end, an unterminated last line too.
        const std::size_t lineEnd = text.find_last_of("\r\n");
        const std::size_t taken = last ? text.size() : lineEnd == std::string::npos ? 0 : lineEnd + 1;
        m_held->add(std::string_view(text).substr(0, taken));
        pending = text.substr(taken);
        if (last) return true;
    }
}

}  // namespace tw
