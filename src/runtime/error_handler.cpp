#include "runtime/error_handler.h"

#include <stdexcept>

#include "runtime/message_box.h"

namespace tw {

std::string errorReportText(const std::string& procedure, const RuntimeError& error,
                            const std::string& extra) {
    return "Error in " + procedure + " sub\r\n#" + std::to_string(error.number()) + " " +
           error.description() + extra;
}

void reportError(const std::string& procedure, const RuntimeError& error, const std::string& extra) {
    MsgBox(errorReportText(procedure, error, extra), kMbCritical, "Error!");
}

RuntimeError toRuntimeError(std::exception_ptr caught) {
    try {
        std::rethrow_exception(caught);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(kErrOutOfMemory);
    } catch (const std::out_of_range&) {
        return RuntimeError(kErrSubscriptOutOfRange);
    } catch (const std::length_error&) {
        return RuntimeError(kErrOutOfMemory);
    } catch (const std::exception& e) {
        return RuntimeError(kErrInvalidArgument, e.what());
    } catch (...) {
        return RuntimeError(kErrInvalidArgument);
    }
}

}  // namespace tw
