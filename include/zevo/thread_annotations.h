// Clang thread-safety analysis attributes (-Wthread-safety). Other compilers
// see empty macros, so annotated code builds everywhere and is checked by the
// clang build.
//
// Annotate a lock type with ZEVO_CAPABILITY, the data it protects with
// ZEVO_GUARDED_BY, and functions with the locks they need (ZEVO_REQUIRES),
// take (ZEVO_ACQUIRE) or must not hold (ZEVO_EXCLUDES).
#ifndef ZEVO_THREAD_ANNOTATIONS_H_
#define ZEVO_THREAD_ANNOTATIONS_H_

#if defined(__clang__) && defined(__has_attribute)
#if __has_attribute(guarded_by)
#define ZEVO_THREAD_ANNOTATION_(x) __attribute__((x))
#endif
#endif

#ifndef ZEVO_THREAD_ANNOTATION_
#define ZEVO_THREAD_ANNOTATION_(x)
#endif

// Type attributes.
#define ZEVO_CAPABILITY(x) ZEVO_THREAD_ANNOTATION_(capability(x))
#define ZEVO_SCOPED_CAPABILITY ZEVO_THREAD_ANNOTATION_(scoped_lockable)

// Data members.
#define ZEVO_GUARDED_BY(x) ZEVO_THREAD_ANNOTATION_(guarded_by(x))
#define ZEVO_PT_GUARDED_BY(x) ZEVO_THREAD_ANNOTATION_(pt_guarded_by(x))

// Lock ordering.
#define ZEVO_ACQUIRED_BEFORE(...) ZEVO_THREAD_ANNOTATION_(acquired_before(__VA_ARGS__))
#define ZEVO_ACQUIRED_AFTER(...) ZEVO_THREAD_ANNOTATION_(acquired_after(__VA_ARGS__))

// Preconditions of a function.
#define ZEVO_REQUIRES(...) ZEVO_THREAD_ANNOTATION_(requires_capability(__VA_ARGS__))
#define ZEVO_REQUIRES_SHARED(...) ZEVO_THREAD_ANNOTATION_(requires_shared_capability(__VA_ARGS__))
#define ZEVO_EXCLUDES(...) ZEVO_THREAD_ANNOTATION_(locks_excluded(__VA_ARGS__))

// Functions that take or give up a capability.
#define ZEVO_ACQUIRE(...) ZEVO_THREAD_ANNOTATION_(acquire_capability(__VA_ARGS__))
#define ZEVO_ACQUIRE_SHARED(...) ZEVO_THREAD_ANNOTATION_(acquire_shared_capability(__VA_ARGS__))
#define ZEVO_RELEASE(...) ZEVO_THREAD_ANNOTATION_(release_capability(__VA_ARGS__))
#define ZEVO_RELEASE_SHARED(...) ZEVO_THREAD_ANNOTATION_(release_shared_capability(__VA_ARGS__))
#define ZEVO_RELEASE_GENERIC(...) ZEVO_THREAD_ANNOTATION_(release_generic_capability(__VA_ARGS__))
#define ZEVO_TRY_ACQUIRE(...) ZEVO_THREAD_ANNOTATION_(try_acquire_capability(__VA_ARGS__))
#define ZEVO_TRY_ACQUIRE_SHARED(...) ZEVO_THREAD_ANNOTATION_(try_acquire_shared_capability(__VA_ARGS__))

// Run-time assertions that the caller holds a capability.
#define ZEVO_ASSERT_CAPABILITY(x) ZEVO_THREAD_ANNOTATION_(assert_capability(x))
#define ZEVO_ASSERT_SHARED_CAPABILITY(x) ZEVO_THREAD_ANNOTATION_(assert_shared_capability(x))

// A function that returns a reference to a capability.
#define ZEVO_RETURN_CAPABILITY(x) ZEVO_THREAD_ANNOTATION_(lock_returned(x))

// Turns the analysis off for one function; say why next to each use.
#define ZEVO_NO_THREAD_SAFETY_ANALYSIS ZEVO_THREAD_ANNOTATION_(no_thread_safety_analysis)

#endif  // ZEVO_THREAD_ANNOTATIONS_H_
