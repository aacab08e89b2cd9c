#pragma once
// Libraries that only some paths need are loaded at their first use rather
// than at every start: from the system folder only, and kept for the
// process.
#include <windows.h>

namespace ordalis::win32 {

inline HMODULE SystemLibrary(const wchar_t* name) {
  return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// The library's function `name` as `Function`, or nullptr.
template <typename Function>
Function Export(HMODULE library, const char* name) {
  return library
             ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
             : nullptr;
}

}  // namespace ordalis::win32
