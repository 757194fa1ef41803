// What the reply reader costs. Chunk sizes: 100 000 one-byte chunks against one chunk
// carrying the same reply size and one carrying the same 100 000 data characters, each fed in
// arrivals of the size given as the benchmark's argument (0: the whole reply). Decoding stays
// linear: the tiny chunks cost a small multiple of one chunk of the same reply size at every
// arrival size, where a reader that copied the remaining text per chunk would take seconds.
// And an endless reply: what it costs before the body limit gives it up.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "net/reply_reader.h"

namespace {

std::string chunkedReply(const std::vector<std::size_t>& sizes) {
    static const char* digits = "0123456789abcdef";
    std::string text = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    for (std::size_t size : sizes) {
        std::string hex;
        for (std::size_t n = size; n > 0; n /= 16) hex.insert(hex.begin(), digits[n % 16]);
        text += hex + "\r\n" + std::string(size, 'x') + "\r\n";
    }
    return text + "0\r\n\r\n";
}

const std::string& tinyChunks() {
    static const std::string reply = chunkedReply(std::vector<std::size_t>(100000, 1));
    return reply;
}

void decode(benchmark::State& state, const std::string& reply) {
    const std::size_t arrival = state.range(0) == 0 ? reply.size() : static_cast<std::size_t>(state.range(0));
    for (auto _ : state) {
        tw::ReplyReader reader;
        tw::ReplyStep step;
        for (std::size_t at = 0; at < reply.size(); at += arrival)
            step = reader.feed(std::string_view(reply).substr(at, arrival));
        if (step.progress != tw::ReplyProgress::Complete) state.SkipWithError("reply not complete");
        benchmark::DoNotOptimize(reader.body().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * reply.size()));
}

void BM_TinyChunks(benchmark::State& state) { decode(state, tinyChunks()); }

void BM_OneChunkSameReplySize(benchmark::State& state) {
    static const std::string reply = chunkedReply({tinyChunks().size()});
    decode(state, reply);
}

void BM_OneChunkSameData(benchmark::State& state) {
    static const std::string reply = chunkedReply({100000});
    decode(state, reply);
}

void BM_ContentLengthSameReplySize(benchmark::State& state) {
    static const std::string reply = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(tinyChunks().size()) +
                                     "\r\n\r\n" + std::string(tinyChunks().size(), 'x');
    decode(state, reply);
}

// A reply read until close that never ends: what it costs to take it in 64 KiB arrivals
// until the body limit gives it up.
void BM_EndlessBodyCutOff(benchmark::State& state) {
    const std::string piece(64 * 1024, 'q');
    std::size_t fed = 0;
    for (auto _ : state) {
        tw::ReplyReader reader;
        tw::ReplyStep step = reader.feed("HTTP/1.1 200 OK\r\n\r\n");
        while (step.progress == tw::ReplyProgress::NeedMore) {
            step = reader.feed(piece);
            fed += piece.size();
        }
        if (step.progress != tw::ReplyProgress::Abandoned) state.SkipWithError("endless reply not given up");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(fed));
}

}  // namespace

BENCHMARK(BM_EndlessBodyCutOff)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TinyChunks)->Arg(1024)->Arg(4096)->Arg(65536)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneChunkSameReplySize)->Arg(1024)->Arg(4096)->Arg(65536)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OneChunkSameData)->Arg(1024)->Arg(4096)->Arg(65536)->Arg(0)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ContentLengthSameReplySize)->Arg(4096)->Arg(65536)->Arg(0)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
