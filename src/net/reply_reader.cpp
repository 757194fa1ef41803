#include "net/reply_reader.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "runtime/text.h"

namespace tw {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kBlankLine = "\r\n\r\n";
constexpr std::string_view kLengthName = "Content-Length";
constexpr std::string_view kTransferCodingName = "Transfer-Encoding";
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
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// "HTTP/1.x NNN", then the end of the line or a blank and the reason; 0 for anything else.
int statusFromLine(std::string_view line) {
    if (line.size() < 12 || line.substr(0, 7) != "HTTP/1." || !isDigit(line[7]) || line[8] != ' ') return 0;
    if (!isDigit(line[9]) || !isDigit(line[10]) || !isDigit(line[11])) return 0;
    if (line.size() > 12 && line[12] != ' ') return 0;
    return (line[9] - '0') * 100 + (line[10] - '0') * 10 + (line[11] - '0');
}

// The body is chunked when the last transfer coding named (in the last such field, after
// its last comma) is "chunked", in any letter case.
bool endsWithChunked(const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string_view last;
    for (const auto& [name, value] : fields) {
        if (!equalsIgnoringCase(name, kTransferCodingName)) continue;
        std::string_view codings = trimBlanks(value);
        while (!codings.empty() && codings.back() == ',') codings = trimBlanks(codings.substr(0, codings.size() - 1));
        const std::size_t comma = codings.rfind(',');
        last = trimBlanks(comma == std::string_view::npos ? codings : codings.substr(comma + 1));
    }
    return equalsIgnoringCase(last, "chunked");
}

std::string failureCaption(ReplyProgress progress, int status) {
    if (progress == ReplyProgress::HeaderParseError) return std::string(kCaptionHeaderParseError);
    if (progress == ReplyProgress::BadStatus && status > 0)
        return "An error occurred, update failed (HTTP " + std::to_string(status) + ").";
    return std::string(kCaptionUpdateFailed);
}

// The Content-Length value: blanks around it are allowed, anything but digits is not.
std::optional<std::uint64_t> decimalLength(std::string_view text) {
    text = trimBlanks(text);
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

    if (m_headerEnd == 0) {
        const std::size_t blank = m_buffer.find(kBlankLine, m_headerScanned);
        if (blank == std::string::npos) {
            // A blank line still to come starts at most three characters before the end, so
            // this is the same limit as the one below whatever the arrivals were.
            if (m_buffer.size() > kMaxHeaderBytes + kBlankLine.size() - 1) return ReplyProgress::Abandoned;
            m_headerScanned = m_buffer.size() < 3 ? 0 : m_buffer.size() - 3;
            return ReplyProgress::NeedMore;
        }
        if (blank > kMaxHeaderBytes) return ReplyProgress::Abandoned;
        m_headerEnd = blank + kBlankLine.size();
        parseHeaderBlock(std::string_view(m_buffer.data(), blank));
        if (m_status < 200 || m_status > 299) return ReplyProgress::BadStatus;
        const ReplyProgress framing = chooseFraming(caption);
        if (m_mode != ReplyMode::Chunked) return framing;
    }

    // Chunked: the header counts as read only once the first size line is complete.
    bool tooLong = false;
    const auto end = lineEnd(m_headerEnd, tooLong);
    if (!end) return tooLong ? ReplyProgress::Abandoned : ReplyProgress::NeedMore;
    if (*end - m_headerEnd > kMaxSizeLineBytes) return ReplyProgress::Abandoned;
    m_length = chunkSizeFromHex(std::string_view(m_buffer).substr(m_headerEnd, *end - m_headerEnd));
    if (m_length > kMaxBodyBytes) return ReplyProgress::Abandoned;
    m_pos = *end + kCrLf.size();
    m_headerDone = true;
    if (m_showProgress) caption = kCaptionReceiving;
    return ReplyProgress::NeedMore;
}

// The status line and the fields of the header block; a line without a colon, or one that
// starts with a blank (an old-style continuation), is no field.
void ReplyReader::parseHeaderBlock(std::string_view block) {
    std::size_t end = block.find(kCrLf);
    m_status = statusFromLine(block.substr(0, end));
    while (end != std::string_view::npos) {
        const std::size_t start = end + kCrLf.size();
        end = block.find(kCrLf, start);
        const std::string_view line = block.substr(start, end == std::string_view::npos ? end : end - start);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos || colon == 0 || isBlank(line.front())) continue;
        m_fields.emplace_back(line.substr(0, colon), trimBlanks(line.substr(colon + 1)));
    }
}

ReplyProgress ReplyReader::chooseFraming(std::string& caption) {
    if (endsWithChunked(m_fields)) {
        m_mode = ReplyMode::Chunked;
        return ReplyProgress::NeedMore;
    }
    if (const auto value = header(kLengthName)) {
        m_mode = ReplyMode::ContentLength;
        const auto length = decimalLength(*value);
        if (!length) {
            m_lengthUnreadable = true;
            return ReplyProgress::NeedMore;
        }
        if (*length > kMaxBodyBytes) return ReplyProgress::Abandoned;
        m_length = *length;
        // Room for the announced body at once (within the same bound), so a large document
        // is not copied again each time the body outgrows its buffer.
        m_body.reserve(static_cast<std::size_t>(m_length));
    } else {
        m_mode = ReplyMode::UntilClose;
    }
    m_headerDone = true;
    m_pos = m_headerEnd;
    if (m_showProgress) caption = kCaptionReceiving;
    return ReplyProgress::NeedMore;
}

std::optional<std::string_view> ReplyReader::header(std::string_view name) const {
    for (const auto& [fieldName, value] : m_fields)
        if (equalsIgnoringCase(fieldName, name)) return std::string_view(value);
    return std::nullopt;
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
            if (size - next > kMaxSizeLineBytes + 1) progress = ReplyProgress::Abandoned;
            break;
        }
        if (static_cast<std::size_t>(end - (data + next)) > kMaxSizeLineBytes) {
            progress = ReplyProgress::Abandoned;
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
    // The header named no length, so "Content-Length:" in the text after the blank line is a
    // misplaced header. It is searched for as the text streams in, up to the same point of
    // the reply as the body limit, so the outcome never depends on how the text was cut.
    const std::string_view fresh(m_buffer.data() + m_pos, bufferedSize());
    const std::size_t room = kMaxBodyBytes + 1 - m_body.size();
    if (lengthNameIn(fresh.substr(0, room))) return ReplyProgress::HeaderParseError;
    if (fresh.size() >= room) return ReplyProgress::Abandoned;
    m_body.append(fresh);
    m_pos = m_buffer.size();
    if (m_showProgress && m_body.size() > 1000) caption = kilobyteCaption();
    return ReplyProgress::NeedMore;
}

// Streams the text past a matcher of "content-length:" in any letter case. The name's first
// letter occurs nowhere else in it, so after a mismatch the match restarts at that letter
// or at nothing: no text is looked at twice and a name cut between arrivals is still found.
bool ReplyReader::lengthNameIn(std::string_view text) {
    constexpr std::string_view kName = "content-length:";
    std::size_t matched = m_lengthNameMatched;
    for (char c : text) {
        c = lowerAscii(c);
        if (c == kName[matched]) ++matched;
        else matched = c == kName[0] ? 1 : 0;
        if (matched == kName.size()) return true;
    }
    m_lengthNameMatched = matched;
    return false;
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
    // Past the limit even if the last character is the CR of its CR LF.
    tooLong = size > start && size - start > kMaxSizeLineBytes + 1;
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
    case ReplyProgress::Abandoned:
    case ReplyProgress::BadStatus:
        step.caption = failureCaption(step.progress, m_status);
        [[fallthrough]];
    case ReplyProgress::EndedEarly:
        // Nothing of the reply's body is used: let its memory go now. The header fields stay.
        m_body = std::string();
        m_buffer = std::string();
        m_pos = 0;
        break;
    }
    if (step.progress != ReplyProgress::NeedMore) m_final = step.progress;
    return step;
}

}  // namespace tw
