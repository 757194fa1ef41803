// The server panel model built from a downloaded document, without a window. The input is
// one byte choosing how wide a character measures, the server's name up to the first line
// feed, then the document. Widths saturate at the largest int, as the forms layer's do for
// very wide text. The build must never throw, and a claimant name that is valid UTF-8 stays
// valid UTF-8 when it is cut to fit.
// Checks (names for TW_FUZZ_SKIP): claimant-utf8, wide-text (text whose width saturates).

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
        if (!row.claimant || !tw::fuzz::isValidUtf8(row.claimant->tooltip)) continue;
        tw::fuzz::check(tw::fuzz::isValidUtf8(row.claimant->caption), "claimant-utf8",
                        [&] { return row.claimant->tooltip + " cut to " + row.claimant->caption; });
    }
    return 0;
}
