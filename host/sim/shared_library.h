// The platform's shared-library calls, as the module loader needs them.
// One implementation per platform: posix/ (dlopen) and win32/
// (LoadLibraryExW); the build picks the folder.
#ifndef ZEVO_HOST_SIM_SHARED_LIBRARY_H_
#define ZEVO_HOST_SIM_SHARED_LIBRARY_H_

#include <filesystem>
#include <string>

namespace zevo::hostsim::platform {

// A symbol's address, before it is given its real function type.
using RawFunction = void (*)();

// Opens the library at `file` with its dependencies resolved now. Returns
// null and a text for people in `error` on failure.
void* OpenLibrary(const std::filesystem::path& file, std::string& error) noexcept;

// The exported function `name`, or null.
RawFunction FindFunction(void* library, const char* name) noexcept;

// Releases a handle from OpenLibrary; null is ignored.
void CloseLibrary(void* library) noexcept;

// Whether the library at `file` is mapped in this process, without loading
// it: after the last CloseLibrary a module that really unloads is gone.
bool IsLibraryLoaded(const std::filesystem::path& file) noexcept;

}  // namespace zevo::hostsim::platform

#endif  // ZEVO_HOST_SIM_SHARED_LIBRARY_H_
