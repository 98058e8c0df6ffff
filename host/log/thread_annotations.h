// Clang thread-safety attributes; empty for other compilers.
#ifndef ZEVO_HOST_LOG_THREAD_ANNOTATIONS_H_
#define ZEVO_HOST_LOG_THREAD_ANNOTATIONS_H_

#if defined(__clang__)
#define ZEVO_TSA(x) __attribute__((x))
#else
#define ZEVO_TSA(x)
#endif

#define CAPABILITY(x) ZEVO_TSA(capability(x))
#define SCOPED_CAPABILITY ZEVO_TSA(scoped_lockable)
#define GUARDED_BY(x) ZEVO_TSA(guarded_by(x))
#define ACQUIRE(...) ZEVO_TSA(acquire_capability(__VA_ARGS__))
#define ACQUIRE_SHARED(...) ZEVO_TSA(acquire_shared_capability(__VA_ARGS__))
#define RELEASE(...) ZEVO_TSA(release_capability(__VA_ARGS__))
#define RELEASE_SHARED(...) ZEVO_TSA(release_shared_capability(__VA_ARGS__))
#define EXCLUDES(...) ZEVO_TSA(locks_excluded(__VA_ARGS__))

#endif  // ZEVO_HOST_LOG_THREAD_ANNOTATIONS_H_
