#include "herald/document_names.h"

#include "runtime/utf8.h"

namespace tw {

std::string boundedName(std::string_view name) {
    return std::string(leadingCharactersWithin(name, kMostNameBytes));
}

}  // namespace tw
