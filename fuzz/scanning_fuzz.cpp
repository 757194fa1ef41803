// The document scanners on a downloaded status document: the server list walk the main
// window makes (GetXML for each server's name, GetSimpleXML for status and population),
// GetTag for each keep's owner and claimant, GetItem and ReturnValue on each tag. Any text
// they return is a piece of the document, and the walk moves forward on every step.
// Checks (names for TW_FUZZ_SKIP): scanner-text, scanner-walk.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "herald/scanning.h"
#include "runtime/runtime_error.h"

namespace {

void expectPieceOf(const std::string& document, const std::string& found, const char* what) {
    tw::fuzz::check(found.empty() || document.find(found) != std::string::npos, "scanner-text",
                    [&] { return std::string(what) + " returned text that is not in the document"; });
}

void walkServers(const std::string& document) {
    double position = 1;
    std::string name = tw::GetXML(document, "server", "name", position);
    while (!name.empty()) {
        expectPieceOf(document, name, "GetXML");
        expectPieceOf(document, tw::GetSimpleXML(document, "status", position), "GetSimpleXML");
        expectPieceOf(document, tw::GetSimpleXML(document, "population", position), "GetSimpleXML");
        const double before = position += 1;
        name = tw::GetXML(document, "server", "name", position);
        tw::fuzz::check(name.empty() || position > before, "scanner-walk",
                        [] { return "GetXML found a server without moving forward"; });
    }
}

// Each "<keep" tag: its attributes, and the owner and claimant up to its "</keep>".
void readKeeps(const std::string& document) {
    for (std::size_t at = document.find("<keep"); at != std::string::npos; at = document.find("<keep", at + 1)) {
        const std::size_t close = document.find('>', at);
        const std::string tag = document.substr(at, close == std::string::npos ? 64 : close - at + 1);
        expectPieceOf(document, tw::GetItem(tag, "name"), "GetItem");
        expectPieceOf(document, tw::ReturnValue(tag, "realm"), "ReturnValue");
        const std::size_t end = document.find("</keep>", at);
        const double start = static_cast<double>(at + 1);
        const double top = end == std::string::npos ? 0 : static_cast<double>(end + 1);
        for (const char* element : {"owner", "claimant", "claimant_heraldurl"}) {
            try {
                expectPieceOf(document, tw::GetTag(document, element, start, top), "GetTag");
            } catch (const tw::RuntimeError&) {
                // GetTag leaves its failures to the caller, as the panel's handler expects.
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::fuzz::silenceMessageBoxes();
    const std::string document(tw::fuzz::inputText(data, size));
    walkServers(document);
    readKeeps(document);
    return 0;
}
