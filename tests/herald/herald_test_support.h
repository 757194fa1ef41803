#pragma once
// Shared by the herald tests: fixture documents, simple fixed-pitch measurements and a
// fixture that builds panels from them.

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "herald/server_panel.h"
#include "runtime/message_box.h"

namespace tw::test {

inline std::string fixtureDocument(const std::string& name) {
    std::ifstream in(std::string(TW_TEST_DATA_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Every character `pitch` twips wide, rows 195 twips high, the designed first elements.
inline PanelMetrics fixedPitch(int pitch) {
    PanelMetrics metrics;
    metrics.textWidth = [pitch](const std::string& s) { return pitch * static_cast<int>(s.size()); };
    return metrics;
}

// Builds panels from the fixture documents at a fixed pitch, recording any message box.
class PanelTest : public ::testing::Test {
protected:
    ServerPanel build(const std::string& xml, const std::string& server, const DarknessFalls& previous = {}) {
        auto panel = buildServerPanel(xml, server, previous, m_metrics);
        EXPECT_TRUE(panel.has_value());
        return panel.value_or(ServerPanel{});
    }
    PanelMetrics m_metrics = fixedPitch(60);
    std::string m_readable = fixtureDocument("herald_readable.xml");
    ScopedMessageBoxRecorder m_boxes;
};

// One line per row, for comparing whole lists with readable failures.
inline std::string describe(const PanelRow& row) {
    std::string s = (row.kind == RowKind::Heading ? "H " : "E ") + row.caption + " @" +
                    std::to_string(row.left) + "," + std::to_string(row.top) + " c" +
                    std::to_string(row.color) + " p" + std::to_string(static_cast<int>(row.picture)) +
                    "@" + std::to_string(row.pictureLeft) + "," + std::to_string(row.pictureTop) +
                    (row.column == PanelColumn::Relic ? " relic-col" : " keep-col");
    if (!row.tag.empty()) s += " tag=" + row.tag;
    if (row.claimant)
        s += " [" + row.claimant->caption + "|" + row.claimant->tooltip + " @" +
             std::to_string(row.claimant->left) + ".." + std::to_string(row.claimant->endLeft) + "]";
    return s;
}

inline std::vector<std::string> describe(const std::vector<PanelRow>& rows) {
    std::vector<std::string> out;
    for (const auto& row : rows) out.push_back(describe(row));
    return out;
}

}  // namespace tw::test
