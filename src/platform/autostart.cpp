#include "platform/autostart.h"

#include <string_view>

namespace tw::platform {
namespace {

constexpr std::string_view kNeedsQuoting = " \t\n\"'\\><~|&;$*?#()`";

std::string quotedArgument(const std::string& arg) {
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out + "\"";
}

// The Exec value is a desktop-entry string: backslashes and control characters are escaped
// once more on top of the command's own quoting, and "%" starts a field code.
std::string escapedExecValue(const std::string& exec) {
    std::string out;
    for (char c : exec) {
        if (c == '\\') out += "\\\\";
        else if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else if (c == '\t') out += "\\t";
        else if (c == '%') out += "%%";
        else out.push_back(c);
    }
    return out;
}

std::string unescapedExecValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\' && i + 1 < value.size()) {
            const char next = value[++i];
            c = next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next == 's' ? ' ' : next;
        } else if (c == '%' && i + 1 < value.size() && value[i + 1] == '%') {
            ++i;
        }
        out.push_back(c);
    }
    return out;
}

// Undoes the quoting of a leading program path; anything else stays as it is.
std::string unquotedProgram(const std::string& exec) {
    if (exec.empty() || exec.front() != '"') return exec;
    std::string program;
    for (size_t i = 1; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == '"') return program + exec.substr(i + 1);
        if (c == '\\' && i + 1 < exec.size()) program.push_back(exec[++i]);
        else program.push_back(c);
    }
    return exec;  // no closing quote: leave the text alone
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string autostartEntryText(const std::string& command,
                               const std::function<bool(const std::string&)>& isFile) {
    // The longest leading run of words that names an existing file is the program.
    size_t programEnd = 0;
    for (size_t end = command.find(' ');; end = command.find(' ', end + 1)) {
        const size_t length = end == std::string::npos ? command.size() : end;
        if (length > 0 && isFile(command.substr(0, length))) programEnd = length;
        if (end == std::string::npos) break;
    }
    std::string exec = command;
    const std::string program = command.substr(0, programEnd);
    if (programEnd > 0 && program.find_first_of(kNeedsQuoting) != std::string::npos)
        exec = quotedArgument(program) + command.substr(programEnd);

    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=Towerwatch\n"
           "Comment=Watches the realm war and keeps its tray icon at hand\n"
           "Exec=" + escapedExecValue(exec) + "\n"
           "Terminal=false\n";
}

std::optional<std::string> autostartCommand(const std::string& entryText) {
    std::optional<std::string> exec;
    bool inMainGroup = false;
    bool hidden = false;
    for (size_t start = 0; start < entryText.size();) {
        size_t end = entryText.find('\n', start);
        if (end == std::string::npos) end = entryText.size();
        const std::string_view line = trimmed(std::string_view(entryText).substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.front() == '[') {
            inMainGroup = line == "[Desktop Entry]";
            continue;
        }
        const size_t eq = line.find('=');
        if (!inMainGroup || eq == std::string_view::npos) continue;
        const std::string_view key = trimmed(line.substr(0, eq));
        const std::string_view value = trimmed(line.substr(eq + 1));
        if (key == "Exec") exec = unquotedProgram(unescapedExecValue(value));
        else if (key == "Hidden") hidden = value == "true";
    }
    if (hidden) return std::nullopt;
    return exec;
}

}  // namespace tw::platform
