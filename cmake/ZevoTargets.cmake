# Common settings for every target the project builds.

set(ZEVO_WARNINGS -Wall -Wextra -Wshadow -Werror)

# Sanitizer and analysis flags come from the presets through these cache
# variables so that every target (and nothing from Debian) gets them.
set(ZEVO_SANITIZE "" CACHE STRING "Sanitizers, e.g. address,undefined or thread")
if(ZEVO_SANITIZE)
  add_compile_options(-fsanitize=${ZEVO_SANITIZE} -fno-omit-frame-pointer
                      -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${ZEVO_SANITIZE})
endif()

# Coverage feedback for libFuzzer in every library the fuzz targets reach.
if(ZEVO_BUILD_FUZZERS)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# gcc gives inline functions' statics and some template data STB_GNU_UNIQUE
# binding on ELF, and the C library never unloads a library that defines such
# a symbol: a host that closes the module and opens it again (an update)
# would get the old instance with its old globals. Every library is built
# without them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND NOT WIN32)
  add_compile_options($<$<COMPILE_LANGUAGE:CXX>:-fno-gnu-unique>)
endif()

# zevo_export_only(<target> <version script>): on ELF the shared library
# exports only what the script names.
function(zevo_export_only target script)
  if(NOT WIN32)
    target_link_options(${target} PRIVATE -Wl,--version-script=${script})
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${script})
  endif()
endfunction()

option(ZEVO_THREAD_SAFETY_ANALYSIS "Build with clang -Wthread-safety" OFF)
if(ZEVO_THREAD_SAFETY_ANALYSIS)
  list(APPEND ZEVO_WARNINGS -Wthread-safety -Wthread-safety-beta)
endif()

# Applies warnings and, for Windows, a static C/C++ runtime: wine (and a
# customer machine) has no libstdc++/libgcc/winpthread DLLs to offer.
function(zevo_target_defaults target)
  target_compile_options(${target} PRIVATE ${ZEVO_WARNINGS})
  if(WIN32)
    target_link_options(${target} PRIVATE -static-libgcc -static-libstdc++
      -Wl,-Bstatic,--whole-archive -lwinpthread -Wl,--no-whole-archive)
  endif()
endfunction()

# The folder of platform sources the build picks: win32 or posix.
if(WIN32)
  set(ZEVO_OS_DIR win32)
else()
  set(ZEVO_OS_DIR posix)
endif()
