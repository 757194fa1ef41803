#pragma once
// A shared library opened when first needed rather than at start-up, for code the program
// may never run (TLS when no https address is used). It stays loaded for the rest of the run.

#include <string>

namespace tw::platform {

class SharedLibrary {
public:
    // Opens the library by its file name ("libssl.so.3"), searched the usual way.
    explicit SharedLibrary(const std::string& fileName);
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool loaded() const { return m_handle != nullptr; }
    // The address of a function of the library or of a library it uses; null when missing.
    void* symbol(const char* name) const;

private:
    void* m_handle = nullptr;
};

}  // namespace tw::platform
