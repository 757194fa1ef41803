#include "forms/combo_box.h"

#include <algorithm>

#include "forms/win32/native_control.h"
#include "forms/win32/win32_values.h"
#include "runtime/runtime_error.h"

#include <commctrl.h>

namespace tw::forms {

namespace {

// Entries the open list shows before it scrolls.
constexpr int kVisibleEntries = 12;

int sendTo(HWND combo, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return combo ? static_cast<int>(SendMessageW(combo, message, wParam, lParam)) : CB_ERR;
}

// The control's height is the closed box's; the window's height is that and the open list's
// together. A combo box keeps its closed height by itself and takes what a resize gives
// beyond it as the list's, so every resize from outside gets the list's height added; the
// box's own return to its closed height (from inside WM_SIZE) is left alone.
bool sizeMessage(HWND combo, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    static int insideSize = 0;
    if (message == WM_SIZE) {
        ++insideSize;
        result = DefSubclassProc(combo, message, wParam, lParam);
        --insideSize;
        return true;
    }
    if (message == WM_WINDOWPOSCHANGING && insideSize == 0) {
        auto* position = reinterpret_cast<WINDOWPOS*>(lParam);
        if (!(position->flags & SWP_NOSIZE))
            position->cy += kVisibleEntries * std::max(1, sendTo(combo, CB_GETITEMHEIGHT, 0)) + 2;
    }
    return false;
}

}  // namespace

ComboBox::ComboBox(Container& owner, std::string name, int index)
    : Control(owner, std::move(name), index,
              win32::childWindow(owner, L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP), 1215, 315) {
    native().parentMessage = [this](UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
        if (message != WM_COMMAND) return false;
        const int code = HIWORD(wParam);
        if (code != CBN_SELCHANGE && code != CBN_SELENDOK && code != CBN_CLOSEUP) return false;
        HWND combo = win32::hwndOf(*this);
        // Moving through the open list is not a pick yet; closing it on an entry is.
        if (code == CBN_SELCHANGE && sendTo(combo, CB_GETDROPPEDSTATE)) return false;
        const int picked = sendTo(combo, CB_GETCURSEL);
        result = 0;
        if (m_quiet || picked == CB_ERR || picked == m_listIndex) return true;
        m_listIndex = picked;
        click();
        return true;
    };
    native().ownMessage = [this](UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
        return sizeMessage(win32::hwndOf(*this), message, wParam, lParam, result);
    };
    HWND combo = win32::hwndOf(*this);
    // Common controls 6 size the open list by entries, the older ones by the window's height.
    sendTo(combo, CB_SETMINVISIBLE, kVisibleEntries);
    const RECT& bounds = native().bounds;
    SetWindowPos(combo, nullptr, 0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void ComboBox::addItem(const std::string& text) {
    m_items.push_back(text);
    // Adding keeps the pick as it is, none in an empty list.
    sendTo(win32::hwndOf(*this), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::screenText(text).c_str()));
}

void ComboBox::clear() {
    m_items.clear();
    m_listIndex = -1;
    m_quiet = true;
    sendTo(win32::hwndOf(*this), CB_RESETCONTENT);
    m_quiet = false;
}

std::string ComboBox::list(int i) const {
    if (i < 0 || i >= listCount()) return {};
    return m_items[static_cast<std::size_t>(i)];
}

void ComboBox::setListIndex(int i) {
    if (i < -1 || i >= listCount()) throw RuntimeError(kErrInvalidPropertyValue);
    if (i == m_listIndex) return;
    // CB_SETCURSEL sends no notification: the program's pick runs onClick here.
    sendTo(win32::hwndOf(*this), CB_SETCURSEL, static_cast<WPARAM>(i));
    m_listIndex = i;
    click();
}

void ComboBox::copyFrom(const ComboBox& source) {
    copyCommonFrom(source);
    clear();
    for (const std::string& item : source.m_items) addItem(item);
    sendTo(win32::hwndOf(*this), CB_SETCURSEL, static_cast<WPARAM>(source.m_listIndex));
    m_listIndex = source.m_listIndex;
}

}  // namespace tw::forms
