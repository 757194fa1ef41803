// Change detection between two status documents built from the input, and the event log
// it writes. Each input line is one keep of the monitored server: its name, the owner in
// the first document and the owner in the second, separated by tabs. Every change that is
// logged must read back from the server's log as the same change, with its place and owners
// those of a keep of the input, each cut to at most 255 bytes between two characters.
// Checks (names for TW_FUZZ_SKIP): changes-compared, changes-read-back, names-bounded.

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "history/change_detection.h"
#include "history/event_log.h"
#include "platform/files.h"

namespace {

constexpr const char* kServer = "Fuzzmoor";
constexpr const char* kWhen = "3/14/2026 6:05:00 PM";
constexpr std::size_t kMaxKeeps = 64;

struct KeepLine {
    std::string_view name, before, after;
};

std::string document(const std::vector<KeepLine>& keeps, bool second) {
    std::string text = "<heraldstatus>\r\n  <server name=\"" + std::string(kServer) + "\">\r\n";
    for (const KeepLine& keep : keeps) {
        text.append("    <keep name=\"").append(keep.name).append("\" realm=\"Albion\">\r\n");
        text.append("      <owner>").append(second ? keep.after : keep.before).append("</owner>\r\n");
        text.append("    </keep>\r\n");
    }
    return text + "  </server>\r\n</heraldstatus>\r\n";
}

// The program folder for the logs, made once per run, left empty after every input and
// removed at exit.
const std::string& logFolder() {
    static const std::string folder = [] {
        std::string pattern = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        pattern += "/tw-fuzz-XXXXXX";
        if (!mkdtemp(pattern.data())) abort();
        static std::string made = pattern;
        atexit([] { rmdir(made.c_str()); });
        return pattern + "/";
    }();
    return folder;
}

// A name or owner as a line of the document gives it: carriage returns are dropped and the
// value runs to `end`.
std::string asRead(std::string_view text, char end) {
    std::string value;
    for (const char c : text.substr(0, text.find(end)))
        if (c != '\r') value += c;
    return value;
}

// Every logged change is, in order, that of a keep further down the input, with its names
// bounded as the program bounds them.
void expectBoundedNames(const std::vector<KeepLine>& keeps, const std::vector<tw::OwnershipChange>& logged) {
    std::size_t next = 0;
    for (const tw::OwnershipChange& change : logged) {
        while (next < keeps.size() &&
               !(tw::fuzz::isBoundedName(change.place, asRead(keeps[next].name, '"')) &&
                 tw::fuzz::isBoundedName(change.oldOwner, asRead(keeps[next].before, '<')) &&
                 tw::fuzz::isBoundedName(change.newOwner, asRead(keeps[next].after, '<'))))
            ++next;
        tw::fuzz::check(next < keeps.size(), "names-bounded", [&] {
            return "logged " + std::to_string(change.place.size()) + ", " + std::to_string(change.newOwner.size()) +
                   ", " + std::to_string(change.oldOwner.size()) + " bytes: not a keep's names as bounded";
        });
        ++next;
    }
}

std::string settingFor(const std::string& name, const std::string& fallback) {
    return name == "Realm" ? "2" : fallback;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tw::fuzz::silenceMessageBoxes();
    std::string_view input = tw::fuzz::inputText(data, size);
    std::vector<KeepLine> keeps;
    while (!input.empty() && keeps.size() < kMaxKeeps) {
        std::string_view line = tw::fuzz::takeField(input, '\n');
        KeepLine keep;
        keep.name = tw::fuzz::takeField(line, '\t');
        keep.before = tw::fuzz::takeField(line, '\t');
        keep.after = line;
        keeps.push_back(keep);
    }

    const std::string& folder = logFolder();
    const std::string logPath = tw::EventLogPath(folder, kServer);
    unlink(logPath.c_str());
    tw::OwnershipTracker tracker;
    tracker.DoSwitchOff(document(keeps, false), kServer, settingFor, {}, tw::eventLogWriter(folder, kServer, kWhen));
    const tw::SwitchOffOutcome outcome = tracker.DoSwitchOff(document(keeps, true), kServer, settingFor, {},
                                                             tw::eventLogWriter(folder, kServer, kWhen));
    tw::fuzz::check(outcome.compared && !outcome.error, "changes-compared",
                    [] { return "two documents of the same keeps were not compared"; });

    expectBoundedNames(keeps, outcome.logged);

    // Read back as the history viewer reads a log.
    const std::optional<std::string> logText = tw::platform::readWholeFile(logPath);
    unlink(logPath.c_str());
    std::optional<std::vector<tw::HistoryEvent>> read;
    if (logText) {
        read.emplace();
        tw::forEachEvent(*logText, [&](const tw::HistoryEvent& e) { read->push_back(e); });
    }
    std::vector<tw::HistoryEvent> expected;
    for (const tw::OwnershipChange& c : outcome.logged)
        expected.push_back({c.place, kWhen, c.newOwner, c.oldOwner});
    tw::fuzz::check(read.value_or(std::vector<tw::HistoryEvent>{}) == expected, "changes-read-back", [&] {
        std::string text = std::to_string(expected.size()) + " logged, " +
                           std::to_string(read ? read->size() : 0) + " read back";
        for (const auto& e : expected)
            text += "\n  logged: " + e.Place + " | " + e.NewOwner + " | " + e.OldOwner;
        return text;
    });
    if (read)
        for (const tw::HistoryEvent& e : *read)
            tw::fuzz::check(e.Place.size() <= tw::fuzz::kNameBound && e.NewOwner.size() <= tw::fuzz::kNameBound &&
                                e.OldOwner.size() <= tw::fuzz::kNameBound,
                            "names-bounded", [] { return "a logged name is longer than 255 bytes"; });
    return 0;
}
