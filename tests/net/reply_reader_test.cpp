#include "net/reply_reader.h"

#include <gtest/gtest.h>

#include <chrono>
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

FeedRun feedPieces(ReplyReader& reader, const std::vector<std::string>& pieces) {
    FeedRun run;
    for (const auto& p : pieces) {
        run.steps.push_back(reader.feed(p));
        if (run.last() != ReplyProgress::NeedMore) break;
    }
    if (run.last() == ReplyProgress::Complete) run.body = reader.takeBody();
    return run;
}

// Feeds the reply split in two at every position, then one character at a time, and checks
// each way ends with the same outcome and body.
void expectSameAtEverySplit(const std::string& reply, ReplyProgress outcome, const std::string& body) {
    for (std::size_t cut = 0; cut <= reply.size(); ++cut) {
        ReplyReader reader;
        const FeedRun run = feedPieces(reader, {reply.substr(0, cut), reply.substr(cut)});
        ASSERT_EQ(run.last(), outcome) << "split at " << cut;
        ASSERT_EQ(run.body, body) << "split at " << cut;
    }
    ReplyReader reader;
    std::vector<std::string> bytes;
    for (char c : reply) bytes.emplace_back(1, c);
    const FeedRun run = feedPieces(reader, bytes);
    EXPECT_EQ(run.last(), outcome);
    EXPECT_EQ(run.body, body);
}

TEST(ReplyReaderContentLength, BodyInOnePieceCompletesAtHundredPercent) {
    ReplyReader reader;
    const ReplyStep step = reader.feed(counted("0123456789"));
    EXPECT_EQ(step.progress, ReplyProgress::Complete);
    EXPECT_EQ(step.caption, "Receiving update (100%)");
    EXPECT_EQ(reader.takeBody(), "0123456789");
}

TEST(ReplyReaderContentLength, ThreeArrivalsShowPercentAfterEach) {
    ReplyReader reader;
    const std::string reply = counted(std::string(2000, 'x'));
    const std::size_t headerSize = reply.size() - 2000;
    const FeedRun run = feedPieces(reader, {reply.substr(0, headerSize + 500), reply.substr(headerSize + 500, 1000),
                                        reply.substr(headerSize + 1500)});
    ASSERT_EQ(run.steps.size(), 3u);
    EXPECT_EQ(run.steps[0].caption, "Receiving update (25%)");
    EXPECT_EQ(run.steps[1].caption, "Receiving update (75%)");
    EXPECT_EQ(run.steps[2].caption, "Receiving update (100%)");
    EXPECT_EQ(run.steps[1].progress, ReplyProgress::NeedMore);
    EXPECT_EQ(run.last(), ReplyProgress::Complete);
    EXPECT_EQ(run.body, std::string(2000, 'x'));
}

TEST(ReplyReaderContentLength, HeaderAloneShowsReceivingThenPercentCaptionsAreWholeNumbers) {
    ReplyReader reader;
    const std::string reply = kHead + "Content-Length: 3\r\n\r\n";
    EXPECT_EQ(reader.feed(reply).caption, "Receiving update (0%)");
    EXPECT_EQ(reader.feed("a").caption, "Receiving update (33%)");
    EXPECT_EQ(reader.feed("b").caption, "Receiving update (66%)");
}

TEST(ReplyReaderContentLength, EverySplitGivesTheSameBodyIncludingNulAndHighBytes) {
    const std::string body = std::string("<a>\0\xff\r\n\r\nContent-Length: 99\r\n", 30) + "tail";
    expectSameAtEverySplit(counted(body), ReplyProgress::Complete, body);
}

TEST(ReplyReaderContentLength, BlanksAfterTheColonAreSkippedWithoutLosingADigit) {
    for (const std::string spacing : {"", " ", "   ", "\t"}) {
        ReplyReader reader;
        const FeedRun run = feedPieces(reader, {kHead + "Content-Length:" + spacing + "12\r\n\r\n123456789012"});
        EXPECT_EQ(run.last(), ReplyProgress::Complete) << "[" << spacing << "]";
        EXPECT_EQ(run.body, "123456789012");
    }
}

TEST(ReplyReaderContentLength, ZeroLengthCompletesAtOnceWithEmptyBody) {
    for (bool progress : {true, false}) {
        ReplyReader reader(progress);
        const ReplyStep step = reader.feed(kHead + "Content-Length: 0\r\n\r\n");
        EXPECT_EQ(step.progress, ReplyProgress::Complete);
        EXPECT_EQ(reader.takeBody(), "");
    }
}

TEST(ReplyReaderContentLength, TextPastTheAnnouncedLengthIsNotPartOfTheBody) {
    ReplyReader reader;
    const FeedRun run = feedPieces(reader, {kHead + "Content-Length: 4\r\n\r\nbodyEXTRA"});
    EXPECT_EQ(run.body, "body");
}

TEST(ReplyReaderContentLength, UnreadableLengthWaitsQuietly) {
    ReplyReader reader;
    const ReplyStep step = reader.feed(kHead + "Content-Length: ten\r\n\r\nabc");
    EXPECT_EQ(step.progress, ReplyProgress::NeedMore);
    EXPECT_EQ(step.caption, "");
    EXPECT_FALSE(reader.headerDone());
    EXPECT_EQ(reader.feed("more").progress, ReplyProgress::NeedMore);
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::EndedEarly);
}

TEST(ReplyReaderChunked, SizesOneAFiveZeroGiveTheThirtyOneDataCharacters) {
    const std::string data26 = "abcdefghijklmnopqrstuvwxyz";
    const std::string reply = kHead + "Transfer-Encoding: chunked\r\n\r\n1a\r\n" + data26 + "\r\n5\r\n12345\r\n0\r\n\r\n";
    ReplyReader reader;
    const ReplyStep step = reader.feed(reply);
    EXPECT_EQ(step.progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), data26 + "12345");
    expectSameAtEverySplit(reply, ReplyProgress::Complete, data26 + "12345");
}

TEST(ReplyReaderChunked, UpperCaseAndNonDigitSizeCharactersFollowTheHexRule) {
    // "1A" is 26; in "1g" the g counts as the digit 0, so the size is 16.
    ReplyReader upper;
    EXPECT_EQ(feedPieces(upper, {kHead + "Transfer-Encoding: chunked\r\n\r\n1A\r\n" + std::string(26, 'u') +
                                 "\r\n0\r\n\r\n"}).body,
              std::string(26, 'u'));
    ReplyReader odd;
    EXPECT_EQ(feedPieces(odd, {kHead + "Transfer-Encoding: chunked\r\n\r\n1g\r\n" + std::string(16, 'g') +
                               "\r\n0\r\n\r\n"}).body,
              std::string(16, 'g'));
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

TEST(ReplyReaderChunked, WaitsForUnfinishedSizeLinesAndRereadsTheFirstOne) {
    ReplyReader reader;
    const std::string head = kHead + "Transfer-Encoding: chunked\r\n\r\n";
    EXPECT_EQ(reader.feed(head + "1").caption, "");
    EXPECT_FALSE(reader.headerDone());
    const ReplyStep first = reader.feed("0\r\n");
    EXPECT_TRUE(reader.headerDone());
    EXPECT_EQ(first.caption, "Receiving update..");
    EXPECT_EQ(reader.feed(std::string(16, 'a') + "\r\n").progress, ReplyProgress::NeedMore);
    EXPECT_EQ(reader.feed("0\r").progress, ReplyProgress::NeedMore);
    EXPECT_EQ(reader.feed("\n").progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), std::string(16, 'a'));
}

TEST(ReplyReaderChunked, KilobyteCaptionOnceTheBodyPassesAThousand) {
    ReplyReader reader;
    const std::string reply = chunked({std::string(600, 'a'), std::string(600, 'b'), std::string(2000, 'c')});
    const std::size_t cut = reply.find(std::string(2000, 'c'));
    const ReplyStep step = reader.feed(reply.substr(0, cut));
    EXPECT_EQ(step.caption, "Receiving Update (1kb)");
    EXPECT_EQ(reader.feed(reply.substr(cut)).progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.body().size(), 3200u);
}

TEST(ReplyReaderChunked, EmptyFirstChunkIsAnEmptyBody) {
    ReplyReader reader;
    EXPECT_EQ(reader.feed(kHead + "Transfer-Encoding: chunked\r\n\r\n0\r\n\r\n").progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), "");
}

TEST(ReplyReaderChunked, MarkerOnlyInTheBodyIsReadAsContentLength) {
    const std::string body = "Transfer-Encoding: chunked";
    ReplyReader reader;
    const FeedRun run = feedPieces(reader, {counted(body)});
    EXPECT_EQ(reader.mode(), ReplyMode::ContentLength);
    EXPECT_EQ(run.body, body);
}

TEST(ReplyReaderHeader, ContentLengthOnlyAfterTheBlankLineIsAParseError) {
    for (bool progress : {true, false}) {
        ReplyReader reader(progress);
        const ReplyStep step = reader.feed(kHead + "\r\nContent-Length: 5\r\n");
        EXPECT_EQ(step.progress, ReplyProgress::HeaderParseError);
        EXPECT_EQ(step.caption, "HTTP Header Parse Error!");
        EXPECT_FALSE(reader.headerDone());
        EXPECT_EQ(reader.feed("more").progress, ReplyProgress::HeaderParseError);
    }
}

TEST(ReplyReaderHeader, AnyStatusCodeIsTaken) {
    ReplyReader reader;
    const FeedRun run = feedPieces(reader, {"HTTP/1.1 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!"});
    EXPECT_EQ(run.last(), ReplyProgress::Complete);
    EXPECT_EQ(run.body, "not here!");
}

TEST(ReplyReaderHeader, HeaderBlockLongerThanThirtyTwoThousandCharacters) {
    const std::string reply = kHead + "X-Padding: " + std::string(40000, 'p') + "\r\nContent-Length: 5\r\n\r\nhello";
    ReplyReader reader;
    EXPECT_EQ(feedPieces(reader, {reply}).body, "hello");
    ReplyReader chunkwise;
    std::vector<std::string> pieces;
    for (std::size_t at = 0; at < reply.size(); at += 7) pieces.push_back(reply.substr(at, 7));
    EXPECT_EQ(feedPieces(chunkwise, pieces).body, "hello");
}

TEST(ReplyReaderHeader, NeitherHeaderReadsUntilTheServerCloses) {
    ReplyReader reader;
    EXPECT_EQ(reader.feed("HTTP/1.0 200 OK\r\n\r\nfirst ").caption, "Receiving update..");
    EXPECT_EQ(reader.mode(), ReplyMode::UntilClose);
    EXPECT_EQ(reader.feed(std::string(1500, 'z')).caption, "Receiving Update (1kb)");
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::Complete);
    EXPECT_EQ(reader.takeBody(), "first " + std::string(1500, 'z'));
}

TEST(ReplyReaderLifecycle, CloseBeforeTheEndGivesNothingAndLaterTextIsIgnored) {
    ReplyReader reader;
    reader.feed(kHead + "Content-Length: 10\r\n\r\nhalf");
    EXPECT_EQ(reader.peerClosed().progress, ReplyProgress::EndedEarly);
    EXPECT_EQ(reader.body(), "");
    EXPECT_EQ(reader.feed("rest!!").progress, ReplyProgress::EndedEarly);
    reader.reset();
    EXPECT_EQ(feedPieces(reader, {counted("again")}).body, "again");
}

TEST(ReplyReaderLifecycle, LocationFetchShowsNoProgressCaptions) {
    ReplyReader reader(false);
    for (const auto& reply : {counted("list"), chunked({std::string(3000, 'l')}),
                              std::string("HTTP/1.1 200 OK\r\n\r\n") + std::string(2000, 'n')}) {
        reader.reset();
        for (char c : reply) EXPECT_EQ(reader.feed(std::string(1, c)).caption, "");
        reader.peerClosed();
    }
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

double secondsToDecode(const std::string& reply, std::size_t arrival) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        ReplyReader reader;
        const auto start = std::chrono::steady_clock::now();
        ReplyStep step;
        for (std::size_t at = 0; at < reply.size(); at += arrival) step = reader.feed(std::string_view(reply).substr(at, arrival));
        const auto end = std::chrono::steady_clock::now();
        EXPECT_EQ(step.progress, ReplyProgress::Complete);
        best = std::min(best, std::chrono::duration<double>(end - start).count());
    }
    return best;
}

TEST(ReplyReaderSpeed, TinyChunksCostLinearTime) {
    // A reader that copies the remaining text per chunk takes seconds here; a linear one
    // takes milliseconds whatever the arrival size.
    const std::vector<std::string> tiny(100000, "x");
    const std::string many = chunked(tiny);
    const std::string one = chunked({std::string(many.size(), 'x')});
    for (std::size_t arrival : {std::size_t{4096}, many.size()}) {
        const double manyTime = secondsToDecode(many, arrival);
        const double oneTime = secondsToDecode(one, arrival);
        EXPECT_LT(manyTime, 0.5);
        EXPECT_LT(manyTime, 30 * oneTime + 0.005) << "arrivals of " << arrival;
    }
}

}  // namespace
}  // namespace tw
