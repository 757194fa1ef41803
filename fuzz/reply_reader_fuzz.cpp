// The HTTP reply reader, fed one reply three ways: whole, one byte at a time, and in pieces
// whose sizes follow from the reply's own bytes. The outcome, the last status-line text and
// the body must not depend on how the arrivals were cut. Readings with the header names
// respelt in lower case and capitalised must agree too: header names are not case-sensitive.
// Checks (names for TW_FUZZ_SKIP): split, header-case.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "net/reply_reader.h"

namespace {

using tw::ReplyProgress;
using tw::ReplyReader;
using tw::ReplyStep;

struct Reading {
    ReplyProgress progress = ReplyProgress::NeedMore;
    std::string status;  // the last caption given: what the status line ends up showing
    std::string body;
    bool operator==(const Reading&) const = default;
};

// Feeds `reply` in pieces of pieceSize(offset) characters, then tells of the close when
// no outcome was reached, as the socket does when the server hangs up.
template <class PieceSize>
Reading read(std::string_view reply, PieceSize pieceSize) {
    ReplyReader reader;
    Reading reading;
    ReplyStep step;
    for (std::size_t at = 0; at < reply.size() && step.progress == ReplyProgress::NeedMore;) {
        const std::size_t n = std::min<std::size_t>(std::max<std::size_t>(pieceSize(at), 1), reply.size() - at);
        step = reader.feed(reply.substr(at, n));
        at += n;
        if (!step.caption.empty()) reading.status = std::move(step.caption);
    }
    if (step.progress == ReplyProgress::NeedMore) {
        step = reader.peerClosed();
        if (!step.caption.empty()) reading.status = std::move(step.caption);
    }
    reading.progress = step.progress;
    if (step.progress == ReplyProgress::Complete) reading.body = reader.takeBody();
    return reading;
}

// Piece sizes from a small generator seeded with a hash of the reply: mostly short pieces,
// now and then a long one, different for every input and the same on every run.
class DerivedCuts {
public:
    explicit DerivedCuts(std::string_view reply) {
        for (unsigned char c : reply) m_state = (m_state ^ c) * 0x100000001b3ull;
        m_state |= 1;
    }
    std::size_t operator()(std::size_t) {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        return (m_state & 7) == 0 ? 1 + (m_state >> 8) % 4096 : 1 + (m_state >> 8) % 16;
    }

private:
    std::uint64_t m_state = 0xcbf29ce484222325ull;
};

// The reply with every header name (the text before ":" on each line after the status line,
// up to the first blank line) spelt in lower case, or capitalised after each "-" as in
// "Content-Length"; empty when the reply has no blank line.
std::string withHeaderNames(std::string_view reply, bool capitalised) {
    const std::size_t blank = reply.find("\r\n\r\n");
    if (blank == std::string_view::npos) return {};
    std::string copy(reply);
    bool inName = false;
    bool wordStart = false;
    for (std::size_t i = 0; i < blank; ++i) {
        char& c = copy[i];
        if (c == '\n') {
            inName = wordStart = true;
            continue;
        }
        if (c == ':' || c == '\r') inName = false;
        if (!inName) continue;
        const bool upper = capitalised && wordStart;
        if (upper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (!upper && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        wordStart = c == '-';
    }
    return copy;
}

std::string describe(const Reading& a, const Reading& b) {
    return "outcome " + std::to_string(static_cast<int>(a.progress)) + " vs " +
           std::to_string(static_cast<int>(b.progress)) + ", status \"" + a.status + "\" vs \"" +
           b.status + "\", body " + std::to_string(a.body.size()) + " vs " + std::to_string(b.body.size()) +
           " bytes";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply = tw::fuzz::inputText(data, size);
    const Reading whole = read(reply, [&](std::size_t) { return reply.size(); });
    const Reading bytes = read(reply, [](std::size_t) { return 1; });
    tw::fuzz::check(bytes == whole, "split", [&] { return "byte by byte: " + describe(bytes, whole); });
    const Reading cut = read(reply, DerivedCuts(reply));
    tw::fuzz::check(cut == whole, "split", [&] { return "derived cuts: " + describe(cut, whole); });
    for (const bool capitalised : {false, true}) {
        const std::string respelt = withHeaderNames(reply, capitalised);
        if (respelt.empty() || respelt == reply) continue;
        const Reading other = read(respelt, [&](std::size_t) { return respelt.size(); });
        tw::fuzz::check(other == whole, "header-case", [&] {
            return std::string(capitalised ? "capitalised" : "lower-case") + " names: " + describe(other, whole);
        });
    }
    return 0;
}
