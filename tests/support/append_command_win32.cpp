#include "append_command.h"

#include <algorithm>

namespace tw::testing {

// cmd reads the redirection itself; no space before ">>" or echo writes it too.
std::string appendPlaceCommand(const std::string& file) {
    std::string path = file;
    std::replace(path.begin(), path.end(), '/', '\\');
    return "cmd /c echo %TOWERWATCH_PLACE%>>" + path;
}

}  // namespace tw::testing
