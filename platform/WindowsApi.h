// The one way <windows.h> enters Tarnwick's sources: lean, without the
// min/max macros, targeting Windows 7 and later. Private to the build.
#ifndef TARNWICK_PLATFORM_WINDOWSAPI_H
#define TARNWICK_PLATFORM_WINDOWSAPI_H

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
// NOLINTNEXTLINE(bugprone-reserved-identifier): the SDK's own macro
#define _WIN32_WINNT 0x0601
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif

#include <windows.h>

#endif  // TARNWICK_PLATFORM_WINDOWSAPI_H
