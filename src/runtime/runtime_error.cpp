#include "runtime/runtime_error.h"

namespace tw {

std::string errorDescription(std::int32_t number) {
    switch (number) {
    case kErrInvalidArgument: return "Invalid procedure call or argument";
    case kErrOverflow: return "Overflow";
    case kErrOutOfMemory: return "Out of memory";
    case kErrSubscriptOutOfRange: return "Subscript out of range";
    case kErrDivisionByZero: return "Division by zero";
    case kErrTypeMismatch: return "Type mismatch";
    case kErrBadFileName: return "Bad file name or number";
    case kErrFileNotFound: return "File not found";
    case kErrPathFileAccess: return "Path/File access error";
    case kErrNoSuchControlElement: return "Control array element does not exist";
    case kErrObjectAlreadyLoaded: return "Object already loaded";
    case kErrCantUnloadDesignTimeControl: return "Can't unload controls created at design time";
    case kErrInvalidPropertyValue: return "Invalid property value";
    case kErrFormAlreadyDisplayed: return "Form already displayed; can't show modally";
    case kErrWrongProtocolOrState:
        return "The current state of the socket does not allow this operation";
    default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(std::int32_t number, std::string description, std::string source)
    : std::runtime_error(description),
      m_number(number),
      m_description(std::move(description)),
      m_source(std::move(source)) {}

RuntimeError::RuntimeError(std::int32_t number) : RuntimeError(number, errorDescription(number)) {}

}  // namespace tw
