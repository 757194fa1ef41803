#include "net/reply_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "herald/realm_vocabulary.h"

namespace tw {
namespace {

const std::string kHead = "HTTP/1.1 200 OK\r\nServer: test\r\n";

std::string chunked(const std::vector<std::string>& chunks) {
    static const char* digits = "0123456789abcdef";
    std::string text = kHead + "Transfer-Encoding: chunked\r\n\r\n";
    for (const auto& c : chunks) {
        std::string size;
        for (std::size_t n = c.size(); n > 0; n /= 16) size.insert(size.begin(), digits[n % 16]);
        text += size + "\r\n" + c + "\r\n";
    }
    return text + "0\r\n\r\n";
}

std::string counted(const std::string& body) {
    return kHead + "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

struct FeedRun {
    std::vector<ReplyStep> steps;
    std::string body;
    ReplyProgress last() const { return steps.empty() ? ReplyProgress::NeedMore : steps.back().progress; }
};

FeedRun feedPieces(ReplyReader& reader, const std::vector<std::string_view>& pieces, bool thenClose = false) {
    FeedRun run;
    for (const auto& p : pieces) {
        run.steps.push_back(reader.feed(p));
        if (run.last() != ReplyProgress::NeedMore) break;
    }
    if (thenClose && run.last() == ReplyProgress::NeedMore) run.steps.push_back(reader.peerClosed());
    if (run.last() == ReplyProgress::Complete) run.body = reader.takeBody();
    return run;
}

// Feeds the reply split in two at every position (or at the given cuts), then one character
// at a time, and checks each way ends, once the server has closed, with the same outcome,
// body and status code.
void expectSameAtEverySplit(std::string_view reply, ReplyProgress outcome, const std::string& body, int status = 200,
                            std::vector<std::size_t> cuts = {}) {
    if (cuts.empty())
        for (std::size_t cut = 0; cut <= reply.size(); ++cut) cuts.push_back(cut);
    for (std::size_t cut : cuts) {
        ReplyReader reader;
        const FeedRun run = feedPieces(reader, {reply.substr(0, cut), reply.substr(cut)}, true);
        ASSERT_EQ(run.last(), outcome) << "split at " << cut;
        ASSERT_EQ(run.body, body) << "split at " << cut;
        ASSERT_EQ(reader.statusCode(), status) << "split at " << cut;
    }
    ReplyReader reader;
    std::vector<std::string_view> bytes;
    for (std::size_t at = 0; at < reply.size(); ++at) bytes.push_back(reply.substr(at, 1));
    const FeedRun run = feedPieces(reader, bytes, true);
    EXPECT_EQ(run.last(), outcome);
    EXPECT_EQ(run.body, body);
}

TEST(ReplyReaderContentLength, PercentAfterEachArrivalInWholeNumbers) {
    ReplyReader reader;
    EXPECT_EQ(reader.feed(kHead + "Content-Length: 3000\r\n\r\n").caption, "Receiving update (0%)");
    EXPECT_EQ(reader.feed(std::string(1000, 'x')).caption, "Receiving update (33%)");
    EXPECT_EQ(reader.feed(std::string(1000, 'x')).caption, "Receiving update (66%)");
    const ReplyStep last = reader.feed(std::string(1000, 'x'));
    EXPECT_EQ(last.caption, "Receiving update (100%)");
    EXPECT_EQ(last.progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), std::string(3000, 'x'));
}

TEST(ReplyReaderContentLength, UnreadableLengthWaitsQuietlyAndACloseBeforeTheEndGivesNothing) {
    ReplyReader reader;
    const ReplyStep step = reader.feed(kHead + "Content-Length: ten\r\n\r\nabc");
    EXPECT_EQ(step.progress, ReplyProgress::NeedMore);
    EXPECT_EQ(step.caption, "");
    EXPECT_FALSE(reader.headerDone());
    EXPECT_EQ(reader.feed("more").progress, ReplyProgress::NeedMore);
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::EndedEarly);
    // A counted body cut short gives nothing of its part either; later text changes nothing.
    reader.reset();
    reader.feed(kHead + "Content-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::EndedEarly);
    EXPECT_EQ(reader.feed("rest!!").progress, ReplyProgress::EndedEarly);
    EXPECT_EQ(reader.body(), "");
    reader.reset();
    EXPECT_EQ(feedPieces(reader, {counted("again")}).body, "again");
}

TEST(ReplyReaderChunked, SizeLinesAgreeWithTheProgramsFromHex) {
    for (const std::string line : {"1a", "1A", "FF", "1g", "0001", "z1", "10 ", "a;b", "fff"}) {
        const auto size = static_cast<std::size_t>(FromHex(line));
        ReplyReader reader;
        const FeedRun run = feedPieces(reader, {kHead + "Transfer-Encoding: chunked\r\n\r\n" + line + "\r\n" +
                                                std::string(size, 'd') + "\r\n0\r\n\r\n"});
        EXPECT_EQ(run.last(), ReplyProgress::Complete) << line;
        EXPECT_EQ(run.body.size(), size) << line;
    }
}

// Bodies over split size lines are the every-split test's; here the caption waits for the line.
TEST(ReplyReaderChunked, CaptionWaitsForTheFirstSizeLineToEnd) {
    ReplyReader reader;
    EXPECT_EQ(reader.feed(kHead + "Transfer-Encoding: chunked\r\n\r\n1").caption, "");
    EXPECT_FALSE(reader.headerDone());
    EXPECT_EQ(reader.feed("0\r\n").caption, "Receiving update..");
    EXPECT_TRUE(reader.headerDone());
}

TEST(ReplyReaderSplits, OutcomeBodyAndStatusAreTheSameWhereverTheArrivalsAreCut) {
    using enum ReplyProgress;
    const std::string nulBody = std::string("<a>\0\xff\r\n\r\nContent-Length: 99\r\n", 30) + "tail";
    const std::string misplaced = "HTTP/1.1 200 OK\r\nServer: x\r\n\r\n<a>" + std::string(300, 'x') + "</a>\r\ncontent-LENGTH: 4";
    struct Row {
        const char* label;
        std::string reply;
        ReplyProgress outcome;
        std::string body;
        int status = 200;
    };
    const Row rows[] = {
        {"length name in lower case", "HTTP/1.1 200 OK\r\ncontent-length: 5\r\n\r\nhello", Complete, "hello"},
        {"length in capitals, blanks around", "HTTP/1.0 200 OK\r\nCONTENT-LENGTH:  5 \r\n\r\nhelloMORE", Complete, "hello"},
        {"tab after the colon", kHead + "Content-Length:\t12\r\n\r\n123456789012", Complete, "123456789012"},
        {"zero length", kHead + "Content-Length: 0\r\n\r\n", Complete, ""},
        {"chunks of 1a and 5", chunked({std::string(26, 'z'), "12345"}), Complete, std::string(26, 'z') + "12345"},
        {"empty first chunk", chunked({}), Complete, ""},
        {"chunked in any case", "HTTP/1.1 200 OK\r\ntransfer-encoding: Chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", Complete,
         "hello"},
        {"both headers: chunked wins", "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: gzip, chunked\r\n\r\n"
         "5\r\nhello\r\n0\r\n\r\n", Complete, "hello"},
        {"chunked not the last coding", "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked, gzip\r\nContent-Length: 5\r\n\r\n4\r\nab",
         Complete, "4\r\nab"},
        {"NUL, high bytes and header text in a counted body", counted(nulBody), Complete, nulBody},
        {"chunked marker only in the body", counted("Transfer-Encoding: chunked"), Complete, "Transfer-Encoding: chunked"},
        {"length name only inside a value", "HTTP/1.1 200 OK\r\nX-Note: Content-Length: 5\r\n\r\nuntil close", Complete,
         "until close"},
        {"no content at all", "HTTP/1.1 204 No Content\r\n\r\n", Complete, "", 204},
        {"Content-Length right after the blank line", kHead + "\r\nContent-Length: 5\r\n", HeaderParseError, ""},
        {"Content-Length deep in a body read until close", misplaced, HeaderParseError, ""},
        {"counted body cut short", kHead + "Content-Length: 9\r\n\r\nabc", EndedEarly, ""},
        {"no blank line", "HTTP/1.1 200 OK\r\nContent-Le", EndedEarly, "", 0},
        {"server busy", "HTTP/1.1 503 Service Unavailable\r\nContent-Length: 4\r\n\r\nbusy", BadStatus, "", 503},
        {"not found, misplaced length", "HTTP/1.1 404 Not Found\r\n\r\nContent-Length: 1", BadStatus, "", 404},
        {"moved", "HTTP/1.1 301 Moved Permanently\r\nLocation: http://elsewhere/\r\n\r\n", BadStatus, "", 301},
        {"not HTTP", "ICY 200 OK\r\ncontent-length: 2\r\n\r\nok", BadStatus, "", 0},
        {"four-digit status", "HTTP/1.1 2000 OK\r\n\r\n", BadStatus, "", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        expectSameAtEverySplit(row.reply, row.outcome, row.body, row.status);
    }

    // Limits too hold at the same point of the reply however it arrives.
    const std::size_t line = ReplyReader::kMaxSizeLineBytes, header = ReplyReader::kMaxHeaderBytes;
    const Row longRows[] = {
        {"longest size line", kHead + "Transfer-Encoding: chunked\r\n\r\n" + std::string(line - 1, '0') + "5\r\nhello\r\n0\r\n",
         Complete, "hello"},
        {"size line one too long", kHead + "Transfer-Encoding: chunked\r\n\r\n" + std::string(line, '0') + "5\r\nhello\r\n0\r\n",
         Abandoned, ""},
        {"longest header block", "HTTP/1.1 200 OK\r\nX: " + std::string(header - 20, 'p') + "\r\n\r\nup to close", Complete,
         "up to close"},
        {"header block one too long", "HTTP/1.1 200 OK\r\nX: " + std::string(header - 19, 'p') + "\r\n\r\nup to close",
         Abandoned, "", 0},
    };
    for (const Row& row : longRows) {
        SCOPED_TRACE(row.label);
        const std::size_t size = row.reply.size();
        std::vector<std::size_t> cuts = {0, size / 2, size - 40};
        for (std::size_t back = 0; back < 24; ++back) cuts.push_back(size - back);
        expectSameAtEverySplit(row.reply, row.outcome, row.body, row.status, cuts);
    }
}

TEST(ReplyReaderHeader, NonSuccessStatusSaysWhichAndKeepsTheHeaderFieldsAndTheListFetchShowsOnlyFailures) {
    ReplyReader reader;
    const ReplyStep step = reader.feed("HTTP/1.1 301 Moved\r\nlocation:  http://elsewhere/x \r\nX-Empty:\r\n\r\nbody");
    EXPECT_EQ(step.progress, ReplyProgress::BadStatus);
    EXPECT_EQ(step.caption, "An error occurred, update failed (HTTP 301).");
    EXPECT_EQ(reader.header("LOCATION"), "http://elsewhere/x");
    EXPECT_EQ(reader.header("x-empty"), "");
    EXPECT_FALSE(reader.header("Content-Length"));
    EXPECT_EQ(reader.feed("more").progress, ReplyProgress::BadStatus);
    EXPECT_EQ(reader.body(), "");
    // The location list fetch shows no progress, but its failures all the same.
    ReplyReader list(false);
    for (const auto& reply : {counted("list"), chunked({std::string(3000, 'l')}),
                              std::string("HTTP/1.1 200 OK\r\n\r\n") + std::string(2000, 'n')}) {
        for (char c : reply) EXPECT_EQ(list.feed(std::string(1, c)).caption, "");
        list.peerClosed();
        list.reset();
    }
    EXPECT_EQ(list.feed("ICY 200 OK\r\n\r\n").caption, "An error occurred, update failed.");
    list.reset();
    EXPECT_EQ(list.feed(kHead + "\r\nxContent-Length:").caption, "HTTP Header Parse Error!");
}

TEST(ReplyReaderHeader, NeitherHeaderReadsUntilTheServerClosesAndKilobytesAreCounted) {
    ReplyReader reader;
    EXPECT_EQ(reader.feed("HTTP/1.0 200 OK\r\n\r\nfirst ").caption, "Receiving update..");
    EXPECT_EQ(reader.feed(std::string(1500, 'z')).caption, "Receiving Update (1kb)");
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), "first " + std::string(1500, 'z'));
    // Chunked bodies count the same way.
    reader.reset();
    EXPECT_EQ(reader.feed(chunked({std::string(600, 'a'), std::string(600, 'b')})).caption, "Receiving Update (1kb)");
}

TEST(ReplyReaderLimits, OversizedBodiesAreAbandonedWithTheFailureCaption) {
    const std::string big = std::to_string(ReplyReader::kMaxBodyBytes + 1);
    const std::vector<std::string> replies = {
        kHead + "Content-Length: " + big + "\r\n\r\n",
        kHead + "Content-Length: 99999999999999999999999999\r\n\r\n",
        kHead + "Transfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\n",
        kHead + "Transfer-Encoding: chunked\r\n\r\n3000000\r\n" + std::string(0x3000000, 'a') + "\r\n1000001\r\n",
    };
    for (const auto& reply : replies) {
        ReplyReader reader;
        const ReplyStep step = reader.feed(reply);
        EXPECT_EQ(step.progress, ReplyProgress::Abandoned) << reply.substr(0, 80);
        EXPECT_EQ(step.caption, "An error occurred, update failed.");
        EXPECT_EQ(reader.bufferedSize(), 0u);
        EXPECT_EQ(reader.body(), "");
    }
}

TEST(ReplyReaderLimits, EndlessInputIsCutOffWithBoundedMemory) {
    const std::string piece(64 * 1024, 'q');
    const std::vector<std::string> starts = {
        "HTTP/1.1 200 OK\r\nX-Endless: ",                              // header never ends
        kHead + "Transfer-Encoding: chunked\r\n\r\n",                  // size line never ends
        kHead + "Transfer-Encoding: chunked\r\n\r\n1\r\nq\r\n",        // later size line never ends
        "HTTP/1.1 200 OK\r\n\r\n",                                     // read until close, forever
    };
    for (const auto& start : starts) {
        ReplyReader reader;
        ReplyStep step = reader.feed(start);
        std::size_t fed = start.size();
        while (step.progress == ReplyProgress::NeedMore && fed < std::size_t{80} << 20) {
            step = reader.feed(piece);
            fed += piece.size();
            ASSERT_LE(reader.bufferedSize() + reader.body().size(), ReplyReader::kMaxBodyBytes + ReplyReader::kMaxHeaderBytes);
        }
        EXPECT_EQ(step.progress, ReplyProgress::Abandoned) << start;
    }
}

}  // namespace
}  // namespace tw
