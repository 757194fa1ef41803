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

StderrSink g_stderrSink;
MessageBoxSink* g_sink = nullptr;

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
    return sink->show(MessageBoxCall{text, style, title});
}

ScopedMessageBoxRecorder::ScopedMessageBoxRecorder() : m_previous(setMessageBoxSink(this)) {}

ScopedMessageBoxRecorder::~ScopedMessageBoxRecorder() { setMessageBoxSink(m_previous); }

}  // namespace tw
