#include "forms/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QRegularExpression>

#include "forms/form.h"
#include "forms/qt/native_form.h"
#include "platform/qt/text_codec.h"

namespace tw::forms {

std::optional<std::string> askSaveFileName(const Form& owner, const std::string& title,
                                           const std::string& filters,
                                           const std::string& suggestedName) {
    QFileDialog dialog(qt::windowOf(owner), platform::toQString(title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(platform::toQString(filters).split(QStringLiteral(";;")));
    dialog.setDirectory(QDir::homePath());
    dialog.selectFile(platform::toQString(suggestedName));
    // The extension of the chosen filter goes on a name typed without one.
    auto suffixOf = [](const QString& filter) {
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
        return match.hasMatch() ? match.captured(1) : QString();
    };
    dialog.setDefaultSuffix(suffixOf(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&](const QString& filter) { dialog.setDefaultSuffix(suffixOf(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return platform::fromQString(dialog.selectedFiles().constFirst());
}

}  // namespace tw::forms
