// The server panel model built from a downloaded document, without a window. The input is
// one byte choosing how wide a character measures, the server's name up to the first line
// feed, then the document. Widths saturate at the largest int, as the forms layer's do for
// very wide text. The build must never throw, and a claimant name that is valid UTF-8 stays
// valid UTF-8 when it is cut to fit. Keep and relic names, keep owners and claimants are
// those of the document, cut to at most 255 bytes between two characters.
// Checks (names for TW_FUZZ_SKIP): claimant-utf8, wide-text (text whose width saturates),
// names-bounded.

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "herald/server_panel.h"

namespace {

constexpr long long kWidePitch = 1LL << 20;
constexpr long long kPitches[] = {90, 105, 0, 1, 15, kWidePitch, INT_MAX};

tw::PanelMetrics metricsWithPitch(long long pitch) {
    tw::PanelMetrics metrics;
    metrics.textWidth = [pitch](const std::string& text) {
        const long long width = pitch * static_cast<long long>(text.size());
        return width > INT_MAX ? INT_MAX : static_cast<int>(width);
    };
    return metrics;
}

// True when `name` is, bounded, the text that starts somewhere in the document and runs to
// the next `end` (the closing quote of an attribute, the end tag of an element).
bool boundedFromDocument(const std::string& document, const std::string& name, std::string_view end) {
    if (name.empty()) return true;
    for (std::size_t at = document.find(name); at != std::string::npos; at = document.find(name, at + 1)) {
        const std::size_t stop = document.find(end, at);
        const std::string_view source = std::string_view(document).substr(at, stop == std::string::npos ? stop : stop - at);
        if (tw::fuzz::isBoundedName(name, source)) return true;
    }
    return false;
}

void expectBounded(const std::string& document, const std::string& name, std::string_view end, const char* what) {
    tw::fuzz::check(boundedFromDocument(document, name, end), "names-bounded", [&] {
        return std::string(what) + " of " + std::to_string(name.size()) + " bytes is not the document's, bounded";
    });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    tw::fuzz::silenceMessageBoxes();
    static const auto* metrics = [] {
        static tw::PanelMetrics all[std::size(kPitches)];
        for (std::size_t i = 0; i < std::size(kPitches); ++i) all[i] = metricsWithPitch(kPitches[i]);
        return all;
    }();
    const std::size_t pitch = data[0] % std::size(kPitches);
    // Text so wide that its width saturates is a check of its own, so it can be skipped.
    if (kPitches[pitch] >= kWidePitch && !tw::fuzz::checkEnabled("wide-text")) return 0;
    const tw::PanelMetrics& chosen = metrics[pitch];
    std::string_view rest = tw::fuzz::inputText(data + 1, size - 1);
    const std::string serverName(tw::fuzz::takeField(rest, '\n'));
    const std::string document(rest);

    const auto panel = tw::buildServerPanel(document, serverName, {}, chosen);
    if (!panel) return 0;
    for (const tw::PanelRow& row : panel->keepRows) {
        if (row.kind != tw::RowKind::Entry) continue;
        expectBounded(document, row.place, "\"", "a keep name");
        expectBounded(document, row.owner, "</owner>", "a keep owner");
        if (row.claimant) expectBounded(document, row.claimant->tooltip, "</claimant>", "a claimant");
    }
    for (const tw::PanelRow& row : panel->relicRows)
        if (row.kind == tw::RowKind::Entry) expectBounded(document, row.caption, "\"", "a relic name");
    for (const tw::PanelRow& row : panel->keepRows) {
        if (!row.claimant || !tw::fuzz::isValidUtf8(row.claimant->tooltip)) continue;
        tw::fuzz::check(tw::fuzz::isValidUtf8(row.claimant->caption), "claimant-utf8",
                        [&] { return row.claimant->tooltip + " cut to " + row.claimant->caption; });
    }
    return 0;
}
