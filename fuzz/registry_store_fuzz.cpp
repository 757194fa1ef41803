// The settings file reader and writer. Every change to the settings rewrites the whole file
// from what was read, so reading and writing must agree: the text written back from a parse
// holds the same values as the text it was parsed from, and a value written reads back
// while nothing else changes.
// Checks (names for TW_FUZZ_SKIP): registry-round-trip, registry-write.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "platform/registry.h"
#include "platform/registry_store.h"

namespace {

using tw::platform::RegistryDocument;
using tw::platform::RegistryValue;

// The reader's and the writer's entry points: the only lines to change when they move.
RegistryDocument readSettings(std::string_view text) { return RegistryDocument::parse(text); }
std::string writeSettings(const RegistryDocument& document) { return document.text(); }

constexpr const char* kProgramKey = "Software\\Vexlor\\Towerwatch";
constexpr std::size_t kMaxKeys = 8;
constexpr std::size_t kMaxNames = 32;

struct Candidates {
    std::vector<std::string> keys{kProgramKey};
    std::vector<std::string> names{""};
};

void addOnce(std::vector<std::string>& list, std::string item, std::size_t limit) {
    if (list.size() >= limit) return;
    for (const auto& known : list)
        if (known == item) return;
    list.push_back(std::move(item));
}

// Every key and value name the text could mean, taken loosely from the starts of its lines
// (sections "[ROOT\key]", names "\"name\"=" and "@="); a reader and a writer that disagree
// disagree about one of these.
void harvest(std::string_view text, Candidates& out) {
    while (!text.empty()) {
        std::string_view line = tw::fuzz::takeField(text, '\n');
        while (!line.empty() && std::string_view("\r \t").find(line.back()) != line.npos) line.remove_suffix(1);
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            std::string_view inner = line.substr(1, line.rfind(']') == 0 ? line.npos : line.rfind(']') - 1);
            const std::size_t slash = inner.find('\\');
            addOnce(out.keys, std::string(slash == inner.npos ? "" : inner.substr(slash + 1)), kMaxKeys);
        } else if (line.front() == '"') {
            std::string name;
            for (std::size_t i = 1; i < line.size() && line[i] != '"'; ++i) {
                const bool escape = line[i] == '\\' && i + 1 < line.size();
                if (escape && (line[i + 1] == '\\' || line[i + 1] == '"')) ++i;
                name.push_back(line[i]);
            }
            addOnce(out.names, std::move(name), kMaxNames);
        }
    }
}

using Values = std::vector<std::optional<RegistryValue>>;

Values valuesOf(const RegistryDocument& document, const Candidates& candidates) {
    Values values;
    values.reserve(candidates.keys.size() * candidates.names.size());
    for (const auto& key : candidates.keys)
        for (const auto& name : candidates.names) values.push_back(document.value(key, name));
    return values;
}

std::string firstDifference(const Values& a, const Values& b, const Candidates& candidates) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] == b[i]) continue;
        const auto& key = candidates.keys[i / candidates.names.size()];
        const auto& name = candidates.names[i % candidates.names.size()];
        auto shown = [](const std::optional<RegistryValue>& v) {
            return v ? std::to_string(v->type) + ":\"" + v->data + "\"" : std::string("(none)");
        };
        return "[" + key + "] \"" + name + "\": " + shown(a[i]) + " became " + shown(b[i]);
    }
    return "nothing";
}

// parse(text(parse(x))) holds what parse(x) holds.
void roundTripKeepsValues(std::string_view original, Candidates& candidates) {
    const RegistryDocument first = readSettings(original);
    const std::string written = writeSettings(first);
    harvest(written, candidates);
    const Values before = valuesOf(first, candidates);
    const Values after = valuesOf(readSettings(written), candidates);
    tw::fuzz::check(before == after, "registry-round-trip",
                    [&] { return firstDifference(before, after, candidates); });
}

// A value set in the document reads back from the written text, and every other value
// reads as it did without the write.
void writeReadsBack(std::string_view original, const Candidates& candidates) {
    RegistryDocument document = readSettings(original);
    const Values untouched = valuesOf(readSettings(writeSettings(document)), candidates);
    const std::string& key = candidates.keys.size() > 1 ? candidates.keys[1] : candidates.keys[0];
    const std::string name = "FuzzProbe";
    const RegistryValue probe{tw::platform::REG_SZ, "written"};
    if (!document.setValue(key, name, probe)) return;
    const RegistryDocument reread = readSettings(writeSettings(document));
    tw::fuzz::check(reread.value(key, name) == probe, "registry-write",
                    [&] { return "a value written to [" + key + "] does not read back"; });
    Values after = valuesOf(reread, candidates);
    Values expected = untouched;
    // The probe itself, under any spelling of its key, is the one value allowed to change.
    auto bare = [](std::string_view k) {
        while (!k.empty() && k.front() == '\\') k.remove_prefix(1);
        while (!k.empty() && k.back() == '\\') k.remove_suffix(1);
        return std::string(k);
    };
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const bool isProbe =
            tw::platform::sameRegistryName(bare(candidates.keys[i / candidates.names.size()]), bare(key)) &&
            tw::platform::sameRegistryName(candidates.names[i % candidates.names.size()], name);
        if (isProbe) expected[i] = after[i] = std::nullopt;
    }
    tw::fuzz::check(after == expected, "registry-write",
                    [&] { return "writing the probe changed " + firstDifference(expected, after, candidates); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = tw::fuzz::inputText(data, size);
    Candidates candidates;
    harvest(text, candidates);
    roundTripKeepsValues(text, candidates);
    writeReadsBack(text, candidates);
    return 0;
}
