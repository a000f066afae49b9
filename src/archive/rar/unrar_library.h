// The UnRAR library's own classes, declared with the settings the library was built with: RARDLL (no console, the
// host's callback), SILENT and RAR_SMP; on Windows the Windows version and header options of its build. Its
// headers define short macros (Min, Max, ASIZE, NM, TRUE, ...) and on Windows include <windows.h>: only the library
// wrapper includes this, after every other header.
#pragma once

#ifndef RARDLL
#define RARDLL
#endif
#ifndef SILENT
#define SILENT
#endif
#ifndef RAR_SMP
#define RAR_SMP
#endif

#ifdef _WIN32
#undef WINVER
#undef _WIN32_WINNT
#undef WIN32_LEAN_AND_MEAN
#endif

#include <rar.hpp>
