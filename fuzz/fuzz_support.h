#pragma once
// What the fuzz targets share. A property that does not hold stops the run with a message
// naming it, so libFuzzer keeps the input as a crash file. Message boxes the code under
// test shows are swallowed: they are expected for damaged input and would only slow the run.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tw::fuzz {

// False for a check named in the environment variable TW_FUZZ_SKIP (names separated by
// commas): its failures are let pass, so a known failure does not hide everything behind
// it during a long run. The check's work is still done, so the speed stays comparable.
bool checkEnabled(std::string_view name);

// Aborts with the check's name and `detail` when the check is enabled.
void fail(std::string_view name, std::string_view detail);

// fail(name, describe()) when `holds` is false; the description is only built then.
template <class Describe>
void check(bool holds, std::string_view name, Describe describe) {
    if (!holds) fail(name, describe());
}
inline void check(bool holds, std::string_view name) {
    if (!holds) fail(name, {});
}

// Installs a message-box sink that answers OK to every box and keeps nothing. Idempotent.
void silenceMessageBoxes();

// The fuzz input as text, without a copy.
inline std::string_view inputText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// Takes the text up to the first `separator` off the front of `input` (all of it when there
// is none) and returns it; the separator is dropped.
std::string_view takeField(std::string_view& input, char separator);

// True when the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view text);

// The longest keep, relic, owner or claimant name the program keeps, in bytes.
constexpr std::size_t kNameBound = 255;

// True when `name` is `source` as the program keeps a name read from a document: whole up to
// kNameBound bytes; past that a beginning of it, cut between two characters (of UTF-8 when
// the source is valid UTF-8, else of single bytes) with no room left for the next one.
bool isBoundedName(std::string_view name, std::string_view source);

}  // namespace tw::fuzz
