#pragma once
// The program's run-time error: number, description and source, as a handler reports them.
// Thrown where a step fails; caught by the procedure that owns the error handler.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace tw {

// Error numbers the program raises. Windows Sockets codes (10004..11004) and the
// socket object's own 40006 travel in the same field.
enum ErrorNumber : std::int32_t {
    kErrInvalidArgument = 5,
    kErrOverflow = 6,
    kErrOutOfMemory = 7,
    kErrSubscriptOutOfRange = 9,
    kErrDivisionByZero = 11,
    kErrTypeMismatch = 13,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrPathFileAccess = 75,
    kErrNoSuchControlElement = 340,
    kErrObjectAlreadyLoaded = 360,
    kErrCantUnloadDesignTimeControl = 362,
    kErrInvalidPropertyValue = 380,
    kErrFormAlreadyDisplayed = 400,
    kErrWrongProtocolOrState = 40006,
};

// The short English text of a program error number; "Application-defined or
// object-defined error" for a number without one of its own.
std::string errorDescription(std::int32_t number);

class RuntimeError : public std::runtime_error {
public:
    RuntimeError(std::int32_t number, std::string description, std::string source = "Towerwatch");
    // An error with the standard description of its number.
    explicit RuntimeError(std::int32_t number);

    std::int32_t number() const { return m_number; }
    const std::string& description() const { return m_description; }
    const std::string& source() const { return m_source; }

private:
    std::int32_t m_number;
    std::string m_description;
    std::string m_source;
};

}  // namespace tw
