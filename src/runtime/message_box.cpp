#include "runtime/message_box.h"

#include <cstdio>

namespace tw {
namespace {

class StderrSink : public MessageBoxSink {
public:
    int show(const MessageBoxCall& call) override {
        std::fprintf(stderr, "[%s] %s\n", call.title.c_str(), call.text.c_str());
        return 1;
    }
};

constexpr int kIconBits = 0x70;

StderrSink g_stderrSink;
MessageBoxSink* g_sink = nullptr;
bool g_errorBoxOpen = false;

}  // namespace

int MessageBoxRecorder::show(const MessageBoxCall& call) {
    calls.push_back(call);
    return 1;
}

MessageBoxSink* setMessageBoxSink(MessageBoxSink* sink) {
    MessageBoxSink* previous = g_sink;
    g_sink = sink;
    return previous;
}

int MsgBox(const std::string& text, int style, const std::string& title) {
    MessageBoxSink* sink = g_sink ? g_sink : &g_stderrSink;
    const MessageBoxCall call{text, style, title};
    if ((style & kIconBits) != kMbCritical) return sink->show(call);
    // A modal box runs the event loop, where sockets and timers go on failing: a copy left
    // alone in the tray would collect one nested box per failure.
    if (g_errorBoxOpen) return g_stderrSink.show(call);
    g_errorBoxOpen = true;
    const struct Closed {
        ~Closed() { g_errorBoxOpen = false; }
    } closed;
    return sink->show(call);
}

bool errorBoxOpen() { return g_errorBoxOpen; }

ScopedMessageBoxRecorder::ScopedMessageBoxRecorder() : m_previous(setMessageBoxSink(this)) {}

ScopedMessageBoxRecorder::~ScopedMessageBoxRecorder() { setMessageBoxSink(m_previous); }

}  // namespace tw
