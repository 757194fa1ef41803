#include "forms/file_dialog.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <vector>

#include "forms/form.h"
#include "forms/win32/native_form.h"
#include "forms/win32/win32_values.h"

namespace tw::forms {

namespace {

struct Filter {
    std::wstring label;    // "CSV files (*.csv)"
    std::wstring pattern;  // "*.csv"
    std::wstring extension;  // "csv"
};

std::vector<Filter> filtersOf(const std::wstring& text) {
    std::vector<Filter> filters;
    std::size_t from = 0;
    while (from <= text.size()) {
        std::size_t end = text.find(L";;", from);
        if (end == std::wstring::npos) end = text.size();
        Filter filter;
        filter.label = text.substr(from, end - from);
        const std::size_t open = filter.label.find(L'(');
        const std::size_t close = filter.label.rfind(L')');
        filter.pattern = open != std::wstring::npos && close != std::wstring::npos && close > open
                             ? filter.label.substr(open + 1, close - open - 1)
                             : L"*.*";
        // The first pattern's extension: "*.csv *.txt" gives "csv".
        const std::size_t dot = filter.pattern.find(L"*.");
        if (dot != std::wstring::npos) {
            const std::size_t stop = filter.pattern.find_first_of(L" ;", dot);
            filter.extension = filter.pattern.substr(dot + 2, stop == std::wstring::npos ? stop : stop - dot - 2);
            if (filter.extension == L"*") filter.extension.clear();
        }
        if (!filter.label.empty()) filters.push_back(filter);
        from = end + 2;
    }
    return filters;
}

std::wstring profileFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", folder.data(), static_cast<DWORD>(folder.size()));
    if (length == 0 || length >= folder.size()) return {};
    folder.resize(length);
    return folder;
}

}  // namespace

std::optional<std::string> askSaveFileName(const Form& owner, const std::string& title,
                                           const std::string& filters,
                                           const std::string& suggestedName) {
    const std::vector<Filter> choices = filtersOf(win32::screenText(filters));
    // The filter list the dialog takes: label and pattern, each ended by a NUL, then one more.
    std::wstring list;
    for (const Filter& filter : choices) {
        list += filter.label;
        list += L'\0';
        list += filter.pattern;
        list += L'\0';
    }
    list += L'\0';

    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring suggested = win32::screenText(suggestedName);
    suggested.copy(file.data(), std::min(suggested.size(), file.size() - 1));
    const std::wstring folder = profileFolder();
    const std::wstring caption = win32::screenText(title);
    // The dialog puts the chosen filter's extension on a name typed without one; this is
    // the first filter's, the one it starts on.
    const std::wstring firstExtension = choices.empty() ? std::wstring() : choices.front().extension;

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = win32::windowOf(owner);
    dialog.lpstrFilter = choices.empty() ? nullptr : list.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = caption.c_str();
    dialog.lpstrDefExt = firstExtension.empty() ? nullptr : firstExtension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;

    std::wstring path(file.data());
    // Should a dialog not have followed the chosen filter, a name still without an
    // extension gets that filter's here.
    const bool hasExtension = dialog.nFileExtension != 0 && dialog.nFileExtension < path.size();
    const std::size_t chosen = dialog.nFilterIndex >= 1 ? dialog.nFilterIndex - 1 : 0;
    if (!hasExtension && chosen < choices.size() && !choices[chosen].extension.empty()) {
        if (path.empty() || path.back() != L'.') path += L'.';
        path += choices[chosen].extension;
    }
    // As Windows gives it, backslashes and all: the program's file calls take it so.
    return win32::programText(path);
}

}  // namespace tw::forms
