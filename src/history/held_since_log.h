#pragma once
// The held-since answer for one log file, kept as the log grows: after the first whole read
// only the bytes appended since are read. A log that shrank, or whose first bytes or the
// bytes before the end last read are no longer what they were (someone rewrote it), is read
// whole again.

#include <optional>
#include <string>

#include "history/held_since.h"
#include "platform/files.h"

namespace tw {

class HeldSinceLog {
public:
    // The answer for the log at `path` as it is now, read with these date patterns when
    // anything must be read; nothing when the file cannot be read. Another path than last
    // time starts afresh. The pointer lives until the next call.
    const HeldSince* follow(const std::string& path, const DatePatterns& patterns);

private:
    // False when the file is not the one read before with bytes added after its end.
    bool onlyAppended() const;
    // Adds the file from m_readTo on to m_held, a block at a time; false when a read fails.
    bool takeIn();

    std::string m_path;
    std::optional<HeldSince> m_held;
    std::optional<platform::FileStamp> m_stamp;
    long long m_readTo = 0;  // the bytes taken in so far
    std::string m_head;      // the file's first bytes, and the last ones before m_readTo
    std::string m_tail;
};

}  // namespace tw
