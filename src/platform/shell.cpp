#include "platform/shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "platform/services.h"
#include "platform/qt/text_codec.h"

namespace tw::platform {

Shell::~Shell() = default;

void QtShell::ShellExecute(const std::string& operation, const std::string& file, const std::string&,
                           const std::string&, int) {
    if (!operation.empty() && operation != "open") return;
    const QString text = toQString(file).trimmed();
    if (text.isEmpty()) return;
    // A bare path has no scheme; everything else (http:, mailto:) is a link.
    const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

bool openLink(const std::string& url, LinkSource source) {
    if (!mayOpenLink(url, source)) return false;
    shell().ShellExecute("", url, "", "C:\\", 1);
    return true;
}

void ShellRecorder::ShellExecute(const std::string& operation, const std::string& file,
                                 const std::string& parameters, const std::string& directory, int showCommand) {
    calls.push_back({operation, file, parameters, directory, showCommand});
}

}  // namespace tw::platform
