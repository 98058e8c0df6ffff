// Clang thread-safety annotations; empty for other compilers.
#ifndef ZEVO_HOST_MSG_THREAD_ANNOTATIONS_H_
#define ZEVO_HOST_MSG_THREAD_ANNOTATIONS_H_

#if defined(__clang__)
#define ZEVO_MSG_TSA(x) __attribute__((x))
#else
#define ZEVO_MSG_TSA(x)
#endif

#define CAPABILITY(x) ZEVO_MSG_TSA(capability(x))
#define SCOPED_CAPABILITY ZEVO_MSG_TSA(scoped_lockable)
#define GUARDED_BY(x) ZEVO_MSG_TSA(guarded_by(x))
#define REQUIRES(...) ZEVO_MSG_TSA(requires_capability(__VA_ARGS__))
#define REQUIRES_SHARED(...) ZEVO_MSG_TSA(requires_shared_capability(__VA_ARGS__))
#define EXCLUDES(...) ZEVO_MSG_TSA(locks_excluded(__VA_ARGS__))
#define ACQUIRE(...) ZEVO_MSG_TSA(acquire_capability(__VA_ARGS__))
#define ACQUIRE_SHARED(...) ZEVO_MSG_TSA(acquire_shared_capability(__VA_ARGS__))
#define RELEASE(...) ZEVO_MSG_TSA(release_capability(__VA_ARGS__))
#define RELEASE_SHARED(...) ZEVO_MSG_TSA(release_shared_capability(__VA_ARGS__))

#endif  // ZEVO_HOST_MSG_THREAD_ANNOTATIONS_H_
