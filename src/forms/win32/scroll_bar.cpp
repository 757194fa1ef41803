#include "forms/scroll_bar.h"

#include <algorithm>

#include "forms/win32/native_control.h"

namespace tw::forms {

namespace {

// The bar's range and value live in the scroll bar itself. Windows stops the value at
// max - page + 1; the program's bar runs from min to max whatever its large change, so the
// window's range is max + page - 1 with the large change as its page. The small change
// lives in the window's user data, free on a system class.
struct BarState {
    int min = 0;
    int max = 0;
    int value = 0;
    int small = 1;
    int large = 1;
};

BarState stateOf(HWND bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    BarState state;
    if (!bar || !GetScrollInfo(bar, SB_CTL, &info)) return state;
    state.large = std::max(1, static_cast<int>(info.nPage));
    state.min = info.nMin;
    state.max = info.nMax - state.large + 1;
    state.value = info.nPos;
    state.small = std::max<int>(1, static_cast<int>(GetWindowLongPtrW(bar, GWLP_USERDATA)));
    return state;
}

void store(HWND bar, const BarState& state) {
    if (!bar) return;
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = state.min;
    info.nMax = state.max + state.large - 1;
    info.nPage = static_cast<UINT>(state.large);
    info.nPos = std::clamp(state.value, state.min, state.max);
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    SetWindowLongPtrW(bar, GWLP_USERDATA, state.small);
}

}  // namespace

ScrollBar::ScrollBar(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index, win32::childWindow(owner, L"SCROLLBAR", SBS_VERT | WS_TABSTOP), 255,
              1215) {
    store(win32::hwndOf(*this), BarState{0, 32767, 0, 1, 1});
    native().parentMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_VSCROLL) return false;
        HWND bar = win32::hwndOf(*this);
        const BarState state = stateOf(bar);
        int wanted = state.value;
        switch (LOWORD(wParam)) {
        case SB_LINEUP: wanted -= state.small; break;
        case SB_LINEDOWN: wanted += state.small; break;
        case SB_PAGEUP: wanted -= state.large; break;
        case SB_PAGEDOWN: wanted += state.large; break;
        case SB_TOP: wanted = state.min; break;
        case SB_BOTTOM: wanted = state.max; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: {
            // The 32-bit position; the message's own is cut to 16 bits.
            SCROLLINFO info{};
            info.cbSize = sizeof(info);
            info.fMask = SIF_TRACKPOS;
            if (GetScrollInfo(bar, SB_CTL, &info)) wanted = info.nTrackPos;
            break;
        }
        default: break;
        }
        result = 0;
        setValue(wanted);
        return true;
    };
}

int ScrollBar::min() const { return stateOf(win32::hwndOf(*this)).min; }
int ScrollBar::max() const { return stateOf(win32::hwndOf(*this)).max; }
int ScrollBar::value() const { return stateOf(win32::hwndOf(*this)).value; }
int ScrollBar::smallChange() const { return stateOf(win32::hwndOf(*this)).small; }
int ScrollBar::largeChange() const { return stateOf(win32::hwndOf(*this)).large; }

namespace {

// Stores the new state; true when that moved the value.
bool update(HWND bar, BarState state) {
    const int before = stateOf(bar).value;
    state.value = std::clamp(state.value, state.min, state.max);
    store(bar, state);
    return stateOf(bar).value != before;
}

}  // namespace

// A minimum above the maximum takes the maximum along, and the other way round; a value
// pulled into the new range runs onChange.
void ScrollBar::setMin(int min) {
    BarState state = stateOf(win32::hwndOf(*this));
    state.min = min;
    state.max = std::max(state.max, min);
    if (update(win32::hwndOf(*this), state)) change();
}

void ScrollBar::setMax(int max) {
    BarState state = stateOf(win32::hwndOf(*this));
    state.max = max;
    state.min = std::min(state.min, max);
    if (update(win32::hwndOf(*this), state)) change();
}

void ScrollBar::setValue(int value) {
    BarState state = stateOf(win32::hwndOf(*this));
    state.value = value;
    if (update(win32::hwndOf(*this), state)) change();
}

void ScrollBar::setSmallChange(int step) {
    BarState state = stateOf(win32::hwndOf(*this));
    state.small = std::max(1, step);
    store(win32::hwndOf(*this), state);
}

void ScrollBar::setLargeChange(int step) {
    BarState state = stateOf(win32::hwndOf(*this));
    state.large = std::max(1, step);
    store(win32::hwndOf(*this), state);
}

void ScrollBar::change() {
    const auto handler = onChange;
    if (handler) handler();
}

void ScrollBar::copyFrom(const ScrollBar& source) {
    copyCommonFrom(source);
    // A new element starts at the source's value silently.
    store(win32::hwndOf(*this), stateOf(win32::hwndOf(source)));
}

}  // namespace tw::forms
