#include "platform/shell.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>

#include "platform/qt/text_codec.h"

namespace tw::platform {
namespace {

// Hands the link to QDesktopServices.
class QtShell : public Shell {
public:
    void ShellExecute(const std::string& operation, const std::string& file, const std::string& parameters,
                      const std::string& directory, int showCommand) override;
};

void QtShell::ShellExecute(const std::string& operation, const std::string& file, const std::string&,
                           const std::string&, int) {
    if (!operation.empty() && operation != "open") return;
    const QString text = toQString(file).trimmed();
    if (text.isEmpty()) return;
    // A bare path has no scheme; everything else (http:, mailto:) is a link.
    const QUrl url = text.startsWith('/') ? QUrl::fromLocalFile(text) : QUrl(text, QUrl::TolerantMode);
    if (url.isValid()) QDesktopServices::openUrl(url);
}

}  // namespace

std::unique_ptr<Shell> makeSystemShell() { return std::make_unique<QtShell>(); }

}  // namespace tw::platform
