/* Compiler and platform glue shared by every ABI header. Plain C11 / C++20. */
#ifndef ZEVO_PLATFORM_H
#define ZEVO_PLATFORM_H

/* _WIN32 is tested first: mingw defines both _WIN32 and __GNUC__. */
#if defined(_WIN32)
#define ZEVO_DLL_EXPORT __declspec(dllexport)
#define ZEVO_DLL_IMPORT __declspec(dllimport)
#elif defined(__GNUC__)
#define ZEVO_DLL_EXPORT __attribute__((visibility("default")))
#define ZEVO_DLL_IMPORT
#else
#define ZEVO_DLL_EXPORT
#define ZEVO_DLL_IMPORT
#endif

#ifdef __cplusplus
#define ZEVO_EXTERN_C extern "C"
#define ZEVO_EXTERN_C_BEGIN extern "C" {
#define ZEVO_EXTERN_C_END }
#define ZEVO_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#define ZEVO_NOEXCEPT noexcept
#else
#define ZEVO_EXTERN_C
#define ZEVO_EXTERN_C_BEGIN
#define ZEVO_EXTERN_C_END
#define ZEVO_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#define ZEVO_NOEXCEPT
#endif

#ifdef __cplusplus
#include <cstddef>
#include <cstdint>
#else
#include <stddef.h>
#include <stdint.h>
#include <uchar.h>
#endif

#endif /* ZEVO_PLATFORM_H */
