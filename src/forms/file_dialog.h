#pragma once
// The file dialog for saving: a modal dialog over a form, the one such dialog of the program.

#include <optional>
#include <string>

namespace tw::forms {

class Form;

// The path the user chose to save to, or nothing when cancelled. The dialog opens in the
// user's home folder with `suggestedName` filled in. `filters` are written as
// "CSV files (*.csv);;JSON files (*.json)"; a name typed without an extension gets the one of
// the chosen filter.
std::optional<std::string> askSaveFileName(const Form& owner, const std::string& title,
                                           const std::string& filters,
                                           const std::string& suggestedName);

}  // namespace tw::forms
