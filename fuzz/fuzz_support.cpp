#include "fuzz_support.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "runtime/message_box.h"

namespace tw::fuzz {
namespace {

class SilentSink : public MessageBoxSink {
public:
    int show(const MessageBoxCall&) override { return 1; }
};

// The skip list is read once; libFuzzer calls a target far too often for getenv each time.
const std::string& skippedChecks() {
    static const std::string list = [] {
        const char* value = std::getenv("TW_FUZZ_SKIP");
        return "," + std::string(value ? value : "") + ",";
    }();
    return list;
}

}  // namespace

bool checkEnabled(std::string_view name) {
    const std::string& list = skippedChecks();
    if (list.size() <= 2) return true;
    return list.find("," + std::string(name) + ",") == std::string::npos;
}

void fail(std::string_view name, std::string_view detail) {
    if (!checkEnabled(name)) return;
    std::fprintf(stderr, "\n== fuzz check \"%.*s\" failed: %.*s\n", static_cast<int>(name.size()),
                 name.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void silenceMessageBoxes() {
    static SilentSink sink;
    setMessageBoxSink(&sink);
}

std::string_view takeField(std::string_view& input, char separator) {
    const std::size_t at = input.find(separator);
    const std::string_view field = input.substr(0, at);
    input.remove_prefix(at == std::string_view::npos ? input.size() : at + 1);
    return field;
}

bool isValidUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        std::size_t extra = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) { ++i; continue; }
        if (lead >= 0xc2 && lead <= 0xdf) { extra = 1; code = lead & 0x1fu; }
        else if (lead >= 0xe0 && lead <= 0xef) { extra = 2; code = lead & 0x0fu; }
        else if (lead >= 0xf0 && lead <= 0xf4) { extra = 3; code = lead & 0x07u; }
        else return false;
        if (text.size() - i <= extra) return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0u) != 0x80u) return false;
            code = (code << 6) | (next & 0x3fu);
        }
        // Overlong three- and four-byte forms, surrogates and values past U+10FFFF.
        if ((extra == 2 && code < 0x800) || (extra == 3 && code < 0x10000) ||
            (code >= 0xd800 && code <= 0xdfff) || code > 0x10ffff)
            return false;
        i += extra + 1;
    }
    return true;
}

bool isBoundedName(std::string_view name, std::string_view source) {
    if (source.size() <= kNameBound) return name == source;
    if (name.size() > kNameBound || source.substr(0, name.size()) != name) return false;
    if (!isValidUtf8(source)) return name.size() == kNameBound;
    // The cut must fall where a character begins, and that character must not fit.
    const auto lead = static_cast<unsigned char>(source[name.size()]);
    if ((lead & 0xC0) == 0x80) return false;
    const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    return name.size() + length > kNameBound;
}

}  // namespace tw::fuzz
