// The event log reader on a log file's text, as the history viewer reads it: every record
// it accepts has four fields without a line end in them, writing those
// records again gives a log that reads back the same, and each record's date text goes
// through the viewer's day grouping under a few locales' date patterns. A date that reads
// back as a moment writes and reads as the same moment again; the export of the log is UTF-8
// in both formats, and the held-since texts are made for every place.
// Checks (names for TW_FUZZ_SKIP): log-fields, log-round-trip, log-views, log-dates,
// export-utf8.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "history/event_log.h"
#include "history/export_writer.h"
#include "history/held_since.h"
#include "history/history_filter.h"
#include "runtime/general_date.h"
#include "runtime/utf8.h"

namespace {

// The events as the history viewer collects them, oldest first.
std::vector<tw::HistoryEvent> readEvents(std::string_view logText) {
    std::vector<tw::HistoryEvent> events;
    tw::forEachEvent(logText, [&](const tw::HistoryEvent& e) { events.push_back(e); });
    return events;
}

// Fields may hold commas (the writer quotes them); a line end would split the record.
bool cleanField(std::string_view field) { return field.find_first_of("\r\n") == std::string_view::npos; }

const std::vector<tw::DatePatterns>& localePatterns() {
    static const std::vector<tw::DatePatterns> all = [] {
        tw::DatePatterns us;
        tw::DatePatterns german;
        german.shortDate = "dd.MM.yyyy";
        german.longTime = "HH:mm:ss";
        tw::DatePatterns named;
        named.shortDate = "d MMM, yyyy";
        return std::vector<tw::DatePatterns>{us, german, named};
    }();
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view log = tw::fuzz::inputText(data, size);
    const std::vector<tw::HistoryEvent> events = readEvents(log);

    std::string rewritten;
    std::vector<std::optional<std::string>> whenTexts;
    for (const tw::HistoryEvent& e : events) {
        const bool clean =
            cleanField(e.Place) && cleanField(e.NewOwner) && cleanField(e.OldOwner) && cleanField(e.When);
        tw::fuzz::check(clean, "log-fields", [] { return "a field holds a line end"; });
        rewritten += tw::eventRecordLine(e.Place, e.NewOwner, e.OldOwner, e.When);
        if (whenTexts.size() < tw::kHistoryRows) whenTexts.emplace_back(e.When);
    }
    tw::fuzz::check(readEvents(rewritten) == events, "log-round-trip",
                    [] { return "records written again read back differently"; });

    const tw::HistoryFilters hibernia{"Hibernia", "All", "Hibernia"};
    std::size_t passed = 0;
    tw::forEachEventView(log, [&](const tw::HistoryEventView& view) {
        passed += tw::PassFilters(view, hibernia);
    });
    std::size_t expected = 0;
    for (const tw::HistoryEvent& e : events) expected += tw::PassFilters(e, hibernia);
    tw::fuzz::check(passed == expected, "log-views",
                    [] { return "the view reading and the copying one differ"; });

    for (const tw::DatePatterns& patterns : localePatterns()) {
        tw::daySeparatorRows(whenTexts, patterns);
        const tw::GeneralDateReader dates(patterns);
        for (const std::optional<std::string>& when : whenTexts) {
            const auto moment = dates.read(*when);
            if (!moment) continue;
            const auto again = dates.read(tw::generalDate(*moment, patterns));
            tw::fuzz::check(again && again->year == moment->year && again->month == moment->month &&
                                again->day == moment->day && again->hour == moment->hour &&
                                again->minute == moment->minute && again->second == moment->second,
                            "log-dates", [] { return "a date read back does not survive writing"; });
        }
    }

    std::vector<tw::HistoryEventView> views;
    for (const tw::HistoryEvent& e : events) views.push_back({e.Place, e.When, e.NewOwner, e.OldOwner});
    for (tw::ExportFormat format : {tw::ExportFormat::Csv, tw::ExportFormat::Json})
        tw::fuzz::check(tw::isValidUtf8(tw::exportText(views, format, localePatterns()[0])), "export-utf8",
                        [] { return "the export is not UTF-8"; });
    const tw::HeldSince held(log, localePatterns()[1]);
    for (const tw::HistoryEvent& e : events) held.text(e.Place, e.NewOwner, tw::LocalDateTime{2024, 5, 17, 14, 30, 0});
    return 0;
}
