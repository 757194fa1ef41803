#include "append_command.h"

namespace tw::testing {

std::string appendPlaceCommand(const std::string& file) {
    return "sh -c \"echo $TOWERWATCH_PLACE >> " + file + "\"";
}

}  // namespace tw::testing
