#pragma once
// The one place where program text (bytes) meets screen text (QString). Bytes that form
// valid UTF-8 are read as UTF-8, anything else as Windows-1252, so a document written in
// either encoding shows readable names. Text coming back from the screen is UTF-8.

#include <string>
#include <string_view>

#include <QString>

namespace tw::platform {

QString toQString(const std::string& bytes);
QString toQString(std::string_view bytes);
std::string fromQString(const QString& text);

// A caption for the screen: CR LF, a lone CR or a lone LF each start a new line.
QString toDisplayLines(const std::string& bytes);

}  // namespace tw::platform
