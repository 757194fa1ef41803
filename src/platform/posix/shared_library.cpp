#include "platform/shared_library.h"

#include <dlfcn.h>

namespace tw::platform {

// Never closed: function addresses taken from it stay in use until the program ends.
SharedLibrary::SharedLibrary(const std::string& fileName) : m_handle(::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL)) {}

void* SharedLibrary::symbol(const char* name) const { return m_handle ? ::dlsym(m_handle, name) : nullptr; }

}  // namespace tw::platform
