#pragma once
// The reading side of one HTTP/1.1 download: fed the text that arrived on the socket, it
// finds the header block (ended by the first CR LF CR LF), checks the status line, reads the
// header fields (names in any letter case), decides between chunked coding and
// Content-Length, collects the body and says what the status line should show. It never
// touches a socket: the caller closes the connection on every outcome other than NeedMore.
//
// Only a 2xx status gives a body; anything else, or a status line that is not HTTP, is
// BadStatus. Chunked wins when both framing headers are present. A reply with neither is
// read until the server closes, and fails with HeaderParseError where "Content-Length:"
// (any letter case) appears in its body, whatever the arrivals it came in.
// Memory stays bounded: a body over kMaxBodyBytes, a header block over kMaxHeaderBytes or a
// chunk-size line over kMaxSizeLineBytes abandons the reply.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tw {

enum class ReplyProgress {
    NeedMore,          // keep feeding
    Complete,          // body() holds the whole body
    HeaderParseError,  // no framing header, and "Content-Length:" appears after the blank line
    Abandoned,         // the reply does not fit the limits; keep whatever copy was there
    EndedEarly,        // the server closed before the body was complete; nothing to use
    BadStatus,         // not a 2xx reply (statusCode() says which), or not HTTP at all
};

// How the body's end is known; the numbers are those the download code has always used,
// with UntilClose added for a reply that names no length at all.
enum class ReplyMode : std::int32_t { Unknown = -1, ContentLength = 0, Chunked = 1, UntilClose = 2 };

struct ReplyStep {
    ReplyProgress progress = ReplyProgress::NeedMore;
    std::string caption;  // new text for the status line; "" leaves it as it is
};

inline constexpr std::string_view kCaptionReceiving = "Receiving update..";
inline constexpr std::string_view kCaptionHeaderParseError = "HTTP Header Parse Error!";
inline constexpr std::string_view kCaptionUpdateFailed = "An error occurred, update failed.";

class ReplyReader {
public:
    static constexpr std::size_t kMaxBodyBytes = std::size_t{64} << 20;
    static constexpr std::size_t kMaxHeaderBytes = std::size_t{1} << 20;
    static constexpr std::size_t kMaxSizeLineBytes = std::size_t{64} << 10;

    // With showProgress false (the location list fetch) only the error captions are given.
    explicit ReplyReader(bool showProgress = true);

    // Forgets everything; called when the connection is made.
    void reset();
    // Takes the text that arrived. After a final outcome further text is ignored.
    ReplyStep feed(std::string_view arrived);
    // The server closed the connection: completes a reply read until close, otherwise
    // EndedEarly unless an outcome was already reached.
    ReplyStep peerClosed();

    // The body once Complete (the decoded text so far before that). takeBody moves it out.
    const std::string& body() const { return m_body; }
    std::string takeBody();

    // Once the header block has been read: the status code (0 when the status line is not
    // "HTTP/1.x NNN ...") and the value of the first field of that name (any letter case),
    // blanks around it removed; nullopt when there is no such field. Kept until reset.
    int statusCode() const { return m_status; }
    std::optional<std::string_view> header(std::string_view name) const;

    ReplyMode mode() const { return m_mode; }
    bool headerDone() const { return m_headerDone; }
    // Text received and not yet taken into the body.
    std::size_t bufferedSize() const { return m_buffer.size() - m_pos; }

private:
    ReplyProgress readHeader(std::string& caption);
    ReplyProgress chooseFraming(std::string& caption);
    void parseHeaderBlock(std::string_view block);
    ReplyProgress readCounted(std::string& caption);
    ReplyProgress readChunks(std::string& caption);
    ReplyProgress readUntilClose(std::string& caption);
    bool lengthNameIn(std::string_view text);
    std::optional<std::size_t> lineEnd(std::size_t start, bool& tooLong);
    void compact();
    ReplyStep settle(ReplyStep step);
    std::string kilobyteCaption() const;

    bool m_showProgress;
    std::string m_buffer;      // received text; the part before m_pos is already used
    std::size_t m_pos = 0;
    std::string m_body;
    std::uint64_t m_length = 0;  // announced length, or the size of the awaited chunk
    ReplyMode m_mode = ReplyMode::Unknown;
    bool m_headerDone = false;
    bool m_lengthUnreadable = false;
    std::size_t m_headerScanned = 0;  // where the search for the blank line goes on
    std::size_t m_headerEnd = 0;      // first character after the blank line, once found
    int m_status = 0;
    std::vector<std::pair<std::string, std::string>> m_fields;
    std::size_t m_lengthNameMatched = 0;  // how much of "content-length:" the body so far ends with
    std::size_t m_lineStart = 0;      // the unfinished line being searched for its CR LF
    std::size_t m_lineScanned = 0;
    std::optional<ReplyProgress> m_final;
};

}  // namespace tw
