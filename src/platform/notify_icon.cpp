#include "platform/notify_icon.h"

#include <algorithm>
#include <cstring>

#include "runtime/utf8.h"

namespace tw::platform {

void setNotifyTip(NOTIFYICONDATA& data, const std::string& tip) {
    const std::string_view kept = leadingCharactersWithin(tip, sizeof data.szTip - 1);
    std::memset(data.szTip, ' ', sizeof data.szTip);
    std::memcpy(data.szTip, kept.data(), kept.size());
    data.szTip[kept.size()] = '\0';
}

std::string notifyTip(const NOTIFYICONDATA& data) {
    const char* end = std::find(data.szTip, data.szTip + sizeof data.szTip, '\0');
    return std::string(data.szTip, end);
}

// ---- NotifyIconShell

NotifyIconShell::~NotifyIconShell() = default;

void NotifyIconShell::setMessageHandler(uintptr_t hWnd, MessageHandler handler) {
    if (handler) m_handlers[hWnd] = std::move(handler);
    else m_handlers.erase(hWnd);
}

void NotifyIconShell::deliver(uintptr_t hWnd, uint32_t id, uint32_t mouseMessage) {
    const auto it = m_handlers.find(hWnd);
    if (it == m_handlers.end()) return;
    // A copy: the handler may replace itself while it runs.
    const MessageHandler handler = it->second;
    handler(id, mouseMessage);
}

// ---- NotifyIconRecorder

bool NotifyIconRecorder::Shell_NotifyIcon(uint32_t message, const NOTIFYICONDATA& data) {
    const bool sameIcon = present && data.hWnd == hWnd && data.uID == uID;
    bool ok = false;
    if (message == NIM_ADD && !present && hostAvailable) {
        present = ok = true;
        hWnd = data.hWnd;
        uID = data.uID;
        uFlags = 0;
        tip.clear();
        hIcon = 0;
    } else if ((message == NIM_MODIFY || message == NIM_DELETE) && sameIcon) {
        ok = true;
    }
    if (ok && message == NIM_DELETE) {
        present = false;
    } else if (ok) {
        uFlags |= data.uFlags;
        if (data.uFlags & NIF_ICON) hIcon = data.hIcon;
        if (data.uFlags & NIF_TIP) tip = notifyTip(data);
    }
    calls.push_back({message, data, ok});
    return ok;
}

bool NotifyIconRecorder::showBalloon(uintptr_t hWnd_, uint32_t id, const std::string& title,
                                     const std::string& text, bool critical, uintptr_t icon, bool silent) {
    if (!present || hWnd_ != hWnd || id != uID) return false;
    balloons.push_back({title, text, critical, icon, silent});
    return true;
}

void NotifyIconRecorder::simulate(uint32_t mouseMessage) {
    if (present && (uFlags & NIF_MESSAGE)) deliver(hWnd, uID, mouseMessage);
}

}  // namespace tw::platform
