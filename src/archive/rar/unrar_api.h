// The UnRAR library's C interface. Its header spells its types with Windows names (HANDLE, LPARAM, CALLBACK, ...):
// they are given here as the library was built with them, so that no Windows header is needed, and taken back
// afterwards. Only the library wrapper includes this.
#pragma once

#include <cstdint>

#ifdef _WIN32
#define CALLBACK __stdcall
#define PASCAL __stdcall
#define HANDLE void*
#define LPARAM long long
#define UINT unsigned int
#define LONG long
#else
#define _UNIX
#endif

#include <dll.hpp>

namespace Arkova::Rar {
using UnrarParam = LPARAM;
using UnrarHandle = HANDLE;
}  // namespace Arkova::Rar

#undef CALLBACK
#undef PASCAL
#undef HANDLE
#undef LPARAM
#undef UINT
#undef LONG
#ifndef _WIN32
#undef _UNIX
#endif
