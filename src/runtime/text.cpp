#include "runtime/text.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "runtime/runtime_error.h"

namespace tw {
namespace {

void requireArgument(bool ok) {
    if (!ok) throw RuntimeError(kErrInvalidArgument);
}

}  // namespace

Text mid(std::string_view s, long long start, long long length) {
    requireArgument(start >= 1 && length >= -1);
    const auto size = static_cast<long long>(s.size());
    if (start > size) return {};
    const long long available = size - (start - 1);
    const long long take = (length == -1 || length > available) ? available : length;
    return Text(s.substr(static_cast<size_t>(start - 1), static_cast<size_t>(take)));
}

Text leftOf(std::string_view s, long long count) {
    requireArgument(count >= 0);
    return Text(s.substr(0, static_cast<size_t>(std::min<long long>(count, s.size()))));
}

Text rightOf(std::string_view s, long long count) {
    requireArgument(count >= 0);
    const size_t take = static_cast<size_t>(std::min<long long>(count, s.size()));
    return Text(s.substr(s.size() - take));
}

long long inStr(long long start, std::string_view s, std::string_view find) {
    requireArgument(start >= 1);
    const auto size = static_cast<long long>(s.size());
    if (s.empty()) return 0;
    if (find.empty()) return start <= size ? start : 0;
    if (start > size) return 0;
    const size_t at = s.find(find, static_cast<size_t>(start - 1));
    return at == std::string_view::npos ? 0 : static_cast<long long>(at) + 1;
}

long long inStrRev(std::string_view s, std::string_view find, long long start) {
    requireArgument(start == -1 || start >= 1);
    const auto size = static_cast<long long>(s.size());
    if (s.empty()) return 0;
    if (start == -1) start = size;
    if (start > size) return 0;
    if (find.empty()) return start;
    // The match must lie wholly within the first `start` characters.
    if (static_cast<long long>(find.size()) > start) return 0;
    const size_t at = s.substr(0, static_cast<size_t>(start)).rfind(find);
    return at == std::string_view::npos ? 0 : static_cast<long long>(at) + 1;
}

Text trimLeftSpaces(std::string_view s) {
    const size_t first = s.find_first_not_of(' ');
    return first == std::string_view::npos ? Text() : Text(s.substr(first));
}

Text trimRightSpaces(std::string_view s) {
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? Text() : Text(s.substr(0, last + 1));
}

Text trimSpaces(std::string_view s) { return trimLeftSpaces(trimRightSpaces(s)); }

Text lowerCase(std::string_view s) {
    Text out(s);
    for (char& c : out) c = lowerAscii(c);
    return out;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lowerAscii(x) == lowerAscii(y); });
}

Text upperCase(std::string_view s) {
    Text out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

Text replaceAll(std::string_view s, std::string_view find, std::string_view with) {
    if (find.empty()) return Text(s);
    Text out;
    out.reserve(s.size());
    size_t from = 0;
    for (size_t at = s.find(find); at != std::string_view::npos; at = s.find(find, from)) {
        out.append(s.substr(from, at - from));
        out.append(with);
        from = at + find.size();
    }
    out.append(s.substr(from));
    return out;
}

std::vector<Text> splitText(std::string_view s, std::string_view delimiter) {
    std::vector<Text> pieces;
    if (s.empty()) return pieces;
    if (delimiter.empty()) {
        pieces.emplace_back(s);
        return pieces;
    }
    size_t from = 0;
    for (size_t at = s.find(delimiter); at != std::string_view::npos; at = s.find(delimiter, from)) {
        pieces.emplace_back(s.substr(from, at - from));
        from = at + delimiter.size();
    }
    pieces.emplace_back(s.substr(from));
    return pieces;
}

Text repeatChar(long long count, char ch) {
    requireArgument(count >= 0);
    return Text(static_cast<size_t>(count), ch);
}

double leadingValue(std::string_view s) {
    // Blanks inside the number are ignored, as an ordinary reader of typed numbers does.
    Text compact;
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n') compact.push_back(c);
    if (compact.size() > 2 && compact[0] == '&' && (compact[1] == 'H' || compact[1] == 'h')) {
        double value = 0;
        for (size_t i = 2; i < compact.size(); ++i) {
            const char c = compact[i];
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) break;
            value = value * 16 + digit;
        }
        return value;
    }
    size_t end = 0;
    if (end < compact.size() && (compact[end] == '+' || compact[end] == '-')) ++end;
    const size_t digitsFrom = end;
    while (end < compact.size() && compact[end] >= '0' && compact[end] <= '9') ++end;
    if (end < compact.size() && compact[end] == '.') {
        ++end;
        while (end < compact.size() && compact[end] >= '0' && compact[end] <= '9') ++end;
    }
    if (end == digitsFrom || (end == digitsFrom + 1 && compact[digitsFrom] == '.')) return 0;
    if (end < compact.size() && (compact[end] == 'e' || compact[end] == 'E')) {
        size_t exp = end + 1;
        if (exp < compact.size() && (compact[exp] == '+' || compact[exp] == '-')) ++exp;
        const size_t expDigits = exp;
        while (exp < compact.size() && compact[exp] >= '0' && compact[exp] <= '9') ++exp;
        if (exp > expDigits) end = exp;
    }
    const double value = std::strtod(compact.substr(0, end).c_str(), nullptr);
    return std::isfinite(value) ? value : 0;
}

}  // namespace tw
