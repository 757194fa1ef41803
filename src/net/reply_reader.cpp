#include "net/reply_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace tw {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBlankLine = "\r\n\r\n";
constexpr std::string_view kChunkedHeader = "Transfer-Encoding: chunked";
constexpr std::string_view kLengthHeader = "Content-Length:";
constexpr std::uint64_t kTooLarge = std::numeric_limits<std::uint64_t>::max();

// Used text is dropped from the front of the buffer only once it is large and makes up at
// least half of it, so every received character is moved at most a bounded number of times.
constexpr std::size_t kCompactThreshold = std::size_t{64} << 10;

// Chunk sizes follow the program's FromHex rule: every character of the size line is one
// hexadecimal place, and a character that is not a hexadecimal digit counts as 0. Values past
// the body limit are all equally unusable, so the sum stops growing there (digits only ever
// make it larger) and reports kTooLarge.
std::uint64_t chunkSizeFromHex(std::string_view hex) {
    std::uint64_t value = 0;
    for (char c : hex) {
        unsigned digit = 0;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        value = value * 16 + digit;
        if (value > ReplyReader::kMaxBodyBytes) return kTooLarge;
    }
    return value;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The Content-Length value: blanks around it are allowed, anything but digits is not.
std::optional<std::uint64_t> decimalLength(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        if (value <= ReplyReader::kMaxBodyBytes) value = value * 10 + static_cast<unsigned>(c - '0');
    }
    return value > ReplyReader::kMaxBodyBytes ? kTooLarge : value;
}

// The first CR LF in [from, end), or end. Called once per chunk: size lines are short, so
// the first characters are looked at directly before handing a long stretch to memchr.
inline const char* findCrLf(const char* from, const char* end) {
    for (const char* stop = std::min(end, from + 32); from < stop; ++from)
        if (*from == '\r' && from + 1 < end && from[1] == '\n') return from;
    while (from < end) {
        const void* cr = std::memchr(from, '\r', static_cast<std::size_t>(end - from));
        if (!cr) return end;
        const char* at = static_cast<const char*>(cr);
        if (at + 1 < end && at[1] == '\n') return at;
        from = at + 1;
    }
    return end;
}

bool isFinal(ReplyProgress p) { return p != ReplyProgress::NeedMore; }

}  // namespace

ReplyReader::ReplyReader(bool showProgress) : m_showProgress(showProgress) {}

void ReplyReader::reset() {
    *this = ReplyReader(m_showProgress);
}

std::string ReplyReader::takeBody() {
    std::string body = std::move(m_body);
    m_body.clear();
    m_buffer.clear();
    m_pos = 0;
    return body;
}

ReplyStep ReplyReader::feed(std::string_view arrived) {
    if (m_final) return {*m_final, {}};
    // No acceptable reply ever needs more unread text than this.
    if (bufferedSize() + arrived.size() > kMaxBodyBytes + kMaxHeaderBytes)
        return settle({ReplyProgress::Abandoned, {}});
    compact();
    m_buffer.append(arrived);

    ReplyStep step;
    if (!m_headerDone) {
        step.progress = readHeader(step.caption);
        if (isFinal(step.progress) || !m_headerDone) return settle(std::move(step));
    }
    switch (m_mode) {
    case ReplyMode::ContentLength: step.progress = readCounted(step.caption); break;
    case ReplyMode::Chunked: step.progress = readChunks(step.caption); break;
    case ReplyMode::UntilClose: step.progress = readUntilClose(step.caption); break;
    case ReplyMode::Unknown: break;
    }
    return settle(std::move(step));
}

ReplyStep ReplyReader::peerClosed() {
    if (m_final) return {*m_final, {}};
    if (m_headerDone && m_mode == ReplyMode::UntilClose) return settle({ReplyProgress::Complete, {}});
    return settle({ReplyProgress::EndedEarly, {}});
}

ReplyProgress ReplyReader::readHeader(std::string& caption) {
    // A Content-Length that is not a number leaves the reply waiting, as it always has;
    // the held-text limit ends the wait if the server keeps sending.
    if (m_lengthUnreadable) return ReplyProgress::NeedMore;

    if (m_mode != ReplyMode::Chunked) {
        const std::size_t blank = m_buffer.find(kBlankLine, m_headerScanned);
        if (blank == std::string::npos) {
            if (m_buffer.size() > kMaxHeaderBytes) return ReplyProgress::Abandoned;
            m_headerScanned = m_buffer.size() < 3 ? 0 : m_buffer.size() - 3;
            return ReplyProgress::NeedMore;
        }
        if (blank > kMaxHeaderBytes) return ReplyProgress::Abandoned;
        m_headerEnd = blank + kBlankLine.size();
        // Plain searches, not a header-line parse: the chunked marker counts only before the
        // blank line, while "Content-Length:" is looked for in everything received so far.
        const std::string_view header(m_buffer.data(), blank);
        if (header.find(kChunkedHeader) == std::string_view::npos) {
            const std::size_t at = m_buffer.find(kLengthHeader);
            if (at == std::string::npos) {
                m_mode = ReplyMode::UntilClose;
                m_headerDone = true;
                m_pos = m_headerEnd;
                if (m_showProgress) caption = kCaptionReceiving;
                return ReplyProgress::NeedMore;
            }
            if (at >= blank) return ReplyProgress::HeaderParseError;
            m_mode = ReplyMode::ContentLength;
            const std::size_t valueStart = at + kLengthHeader.size();
            const std::size_t valueEnd = m_buffer.find(kCrLf, valueStart);
            const auto length = decimalLength(std::string_view(m_buffer).substr(valueStart, valueEnd - valueStart));
            if (!length) {
                m_lengthUnreadable = true;
                return ReplyProgress::NeedMore;
            }
            if (*length > kMaxBodyBytes) return ReplyProgress::Abandoned;
            m_length = *length;
            m_headerDone = true;
            m_pos = m_headerEnd;
            if (m_showProgress) caption = kCaptionReceiving;
            return ReplyProgress::NeedMore;
        }
        m_mode = ReplyMode::Chunked;
    }

    // Chunked: the header counts as read only once the first size line is complete.
    bool tooLong = false;
    const auto end = lineEnd(m_headerEnd, tooLong);
    if (!end) return tooLong ? ReplyProgress::Abandoned : ReplyProgress::NeedMore;
    m_length = chunkSizeFromHex(std::string_view(m_buffer).substr(m_headerEnd, *end - m_headerEnd));
    if (m_length > kMaxBodyBytes) return ReplyProgress::Abandoned;
    m_pos = *end + kCrLf.size();
    m_headerDone = true;
    if (m_showProgress) caption = kCaptionReceiving;
    return ReplyProgress::NeedMore;
}

ReplyProgress ReplyReader::readCounted(std::string& caption) {
    // Text past the announced length is not part of the body.
    const std::size_t wanted = static_cast<std::size_t>(m_length) - m_body.size();
    m_body.append(m_buffer, m_pos, std::min(wanted, bufferedSize()));
    m_pos = m_buffer.size();
    if (m_showProgress && m_length > 0) {
        const std::uint64_t percent = m_body.size() * std::uint64_t{100} / m_length;
        caption = "Receiving update (" + std::to_string(percent) + "%)";
    }
    return m_body.size() >= m_length ? ReplyProgress::Complete : ReplyProgress::NeedMore;
}

ReplyProgress ReplyReader::readChunks(std::string& caption) {
    // Runs once per chunk, so the state is kept in locals and written back at the end.
    const char* data = m_buffer.data();
    const std::size_t size = m_buffer.size();
    std::size_t pos = m_pos;
    std::uint64_t length = m_length;
    ReplyProgress progress = ReplyProgress::NeedMore;
    for (;;) {
        // Only an empty first chunk gets here with a size of 0: an empty body.
        if (length == 0) {
            progress = ReplyProgress::Complete;
            break;
        }
        if (size - pos < length) break;
        // The next size line starts after the chunk's data and its CR LF, which is skipped
        // by position rather than checked.
        const std::size_t next = pos + static_cast<std::size_t>(length) + kCrLf.size();
        if (next >= size) break;
        // A size line still arriving is searched on from where the last search stopped.
        const std::size_t from = next == m_lineStart ? std::max(m_lineScanned, next) : next;
        const char* end = findCrLf(data + from, data + size);
        if (end == data + size) {
            m_lineStart = next;
            m_lineScanned = size - 1;  // a CR at the very end may still get its LF
            if (size - next > kMaxSizeLineBytes) progress = ReplyProgress::Abandoned;
            break;
        }
        m_body.append(data + pos, static_cast<std::size_t>(length));
        length = chunkSizeFromHex(std::string_view(data + next, static_cast<std::size_t>(end - (data + next))));
        pos = static_cast<std::size_t>(end - data) + kCrLf.size();
        if (length == 0) {
            progress = ReplyProgress::Complete;
            break;
        }
        if (length > kMaxBodyBytes - m_body.size()) {
            progress = ReplyProgress::Abandoned;
            break;
        }
    }
    m_pos = pos;
    m_length = length;
    if (m_showProgress && m_body.size() > 1000) caption = kilobyteCaption();
    return progress;
}

ReplyProgress ReplyReader::readUntilClose(std::string& caption) {
    if (m_body.size() + bufferedSize() > kMaxBodyBytes) return ReplyProgress::Abandoned;
    m_body.append(m_buffer, m_pos);
    m_pos = m_buffer.size();
    if (m_showProgress && m_body.size() > 1000) caption = kilobyteCaption();
    return ReplyProgress::NeedMore;
}

std::string ReplyReader::kilobyteCaption() const {
    return "Receiving Update (" + std::to_string(m_body.size() / 1000) + "kb)";
}

// The CR LF that ends the line starting at `start`. A line that is still arriving is
// searched from where the last search stopped, so a size line sent one character at a
// time costs no more than one sent whole.
std::optional<std::size_t> ReplyReader::lineEnd(std::size_t start, bool& tooLong) {
    if (start != m_lineStart) {
        m_lineStart = start;
        m_lineScanned = start;
    }
    const std::size_t size = m_buffer.size();
    if (m_lineScanned < size) {
        const char* data = m_buffer.data();
        const char* end = findCrLf(data + m_lineScanned, data + size);
        if (end != data + size) return static_cast<std::size_t>(end - data);
        m_lineScanned = size - 1;  // a CR at the very end may still get its LF
    }
    tooLong = size > start && size - start > kMaxSizeLineBytes;
    return std::nullopt;
}

void ReplyReader::compact() {
    if (m_pos < kCompactThreshold || m_pos * 2 < m_buffer.size()) return;
    m_buffer.erase(0, m_pos);
    m_lineStart = m_lineStart >= m_pos ? m_lineStart - m_pos : 0;
    m_lineScanned = m_lineScanned >= m_pos ? m_lineScanned - m_pos : m_lineStart;
    m_pos = 0;
}

ReplyStep ReplyReader::settle(ReplyStep step) {
    switch (step.progress) {
    case ReplyProgress::NeedMore:
    case ReplyProgress::Complete:
        break;
    case ReplyProgress::HeaderParseError:
        step.caption = kCaptionHeaderParseError;
        break;
    case ReplyProgress::Abandoned:
        step.caption = kCaptionUpdateFailed;
        [[fallthrough]];
    case ReplyProgress::EndedEarly:
        // Nothing of the reply is used: let its memory go now.
        m_body = std::string();
        m_buffer = std::string();
        m_pos = 0;
        break;
    }
    if (step.progress != ReplyProgress::NeedMore) m_final = step.progress;
    return step;
}

}  // namespace tw
