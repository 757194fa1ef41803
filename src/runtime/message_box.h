#pragma once
// Every message box of the program goes through one sink, so tests can record them instead
// of blocking on a dialog. The window system installs a sink that shows a real modal box;
// until one is installed, boxes are written to standard error.

#include <string>
#include <vector>

namespace tw {

// Styles the program uses, with the values of the platform's message-box call.
enum MessageBoxStyle : int {
    kMbOk = 0,
    kMbCritical = 16,
    kMbExclamation = 48,
    kMbInformation = 64,
};

struct MessageBoxCall {
    std::string text;
    int style = 0;
    std::string title;
};

class MessageBoxSink {
public:
    virtual ~MessageBoxSink() = default;
    // Shows the box and returns the button pressed (1 = OK).
    virtual int show(const MessageBoxCall& call) = 0;
};

// Keeps every box shown, for tests; answers OK.
class MessageBoxRecorder : public MessageBoxSink {
public:
    int show(const MessageBoxCall& call) override;
    std::vector<MessageBoxCall> calls;
};

// Installs the sink (not owned; nullptr restores the standard-error fallback). Returns the
// previous one.
MessageBoxSink* setMessageBoxSink(MessageBoxSink* sink);

// Shows the box through the sink. At most one error box (style 16) is open at a time: one
// that comes while another is open is written to standard error instead.
int MsgBox(const std::string& text, int style = kMbOk, const std::string& title = "Towerwatch");
// True while an error box is open.
bool errorBoxOpen();

// Installs a recorder for the lifetime of the object and restores the previous sink after.
class ScopedMessageBoxRecorder : public MessageBoxRecorder {
public:
    ScopedMessageBoxRecorder();
    ~ScopedMessageBoxRecorder() override;
    ScopedMessageBoxRecorder(const ScopedMessageBoxRecorder&) = delete;
    ScopedMessageBoxRecorder& operator=(const ScopedMessageBoxRecorder&) = delete;

private:
    MessageBoxSink* m_previous;
};

}  // namespace tw
