/* The logging library's C API (the Log_* functions).
 *
 * Callers ask for the default handle, ask for a module's level and hand
 * over finished texts. The library does no level filtering in Log_Flush:
 * deciding whether a message of level N is written (1 <= L <= N, where L is
 * Log_GetLogLevel of its module) is the caller's job.
 *
 * Configuration, read on first use and again by Log_Reload:
 *   ZEVO_LOG       levels per module, entries "name=level" separated by ';',
 *                  e.g. "Plugin TARSK=2;Util COMMON=5;=1". Blanks around a
 *                  name or a level are dropped; the empty name is a module of
 *                  its own; a later entry for the same name wins; an entry
 *                  without '=' or whose level is not a decimal number in
 *                  0..2147483647 is ignored. A module not listed has level 0.
 *   ZEVO_LOG_FILE  file to append to; when unset, empty or not openable,
 *                  lines go to stderr.
 *
 * Every Log_Flush writes one UTF-8 line (fields separated by one blank):
 *   YYYY-MM-DD hh:mm:ss.mmm <tid> [<module>] <level> <file>:<line> <text>\n
 * with local time, the decimal id of the calling thread and the level and
 * line in decimal. Line feeds and carriage returns inside the text are
 * written as the two characters "\n" and "\r" so that one flush stays one
 * line. Lone surrogates become U+FFFD. Lines of concurrent flushes never
 * interleave.
 *
 * Every function is safe for concurrent use, never throws and accepts null
 * pointers (a null handle, module or text makes it do nothing or return 0).
 */
#ifndef ZEVO_LOG_H
#define ZEVO_LOG_H

#include "zevo/platform.h"

#if defined(ZEVO_LOG_BUILD)
#define ZEVO_LOG_API ZEVO_DLL_EXPORT
#else
#define ZEVO_LOG_API ZEVO_DLL_IMPORT
#endif

ZEVO_EXTERN_C_BEGIN

/* One flushed line, as handed to a capture callback. Valid only during the
 * call. */
typedef struct Log_Record {
  const char16_t* module; /* terminated */
  int32_t level;
  const char16_t* sourceFile; /* terminated; empty when the caller gave none */
  int32_t line;
  const char16_t* text; /* NOT terminated: exactly as given to Log_Flush */
  uint32_t textBytes;   /* exactly as given to Log_Flush */
  const char* utf8Line; /* the formatted line without its line feed */
  uint32_t utf8Bytes;
} Log_Record;

typedef void (*Log_CaptureFn)(void* context, const Log_Record* record);

/* The library's one handle; never null. */
ZEVO_LOG_API void* Log_GetDefaultHandle(void) ZEVO_NOEXCEPT;

/* The level of `module` (terminated UTF-16); 0 means off. 0 for a null or
 * unknown handle and for a null module. */
ZEVO_LOG_API int32_t Log_GetLogLevel(void* handle, const char16_t* module) ZEVO_NOEXCEPT;

/* Writes one line. `text` holds textBytes / 2 UTF-16 units and need not be
 * terminated; an odd last byte is dropped. A null sourceFile is written as
 * an empty name. */
ZEVO_LOG_API void Log_Flush(void* handle, const char16_t* module, int32_t level, const char16_t* sourceFile,
                            int32_t line, const char16_t* text, uint32_t textBytes) ZEVO_NOEXCEPT;

/* Re-reads ZEVO_LOG and ZEVO_LOG_FILE. */
ZEVO_LOG_API void Log_Reload(void) ZEVO_NOEXCEPT;

/* Test hook: from now on every flushed line is also passed to `fn`, besides
 * being written as usual. A null fn removes the hook. Calls are serialised
 * with the output; `fn` must not call Log_Flush, Log_Reload or
 * Log_SetCapture. */
ZEVO_LOG_API void Log_SetCapture(Log_CaptureFn fn, void* context) ZEVO_NOEXCEPT;

ZEVO_EXTERN_C_END

#endif /* ZEVO_LOG_H */
