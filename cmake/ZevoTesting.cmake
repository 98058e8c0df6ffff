# GoogleTest: Debian's packages natively; for Windows, built here from
# /usr/src/googletest with the cross toolchain.
if(CMAKE_CROSSCOMPILING)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/_deps/googletest EXCLUDE_FROM_ALL)
  foreach(lib gtest gtest_main gmock gmock_main)
    target_link_options(${lib} INTERFACE -static-libgcc -static-libstdc++)
    if(NOT TARGET GTest::${lib})
      add_library(GTest::${lib} ALIAS ${lib})
    endif()
  endforeach()
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

# zevo_add_gtest(<name> SOURCES <files...> [LIBS <targets...>]
#                [RESOURCE_LOCK <names...>] [RUN_SERIAL])
# One test program; its cases are discovered when ctest runs (through the
# emulator when cross-built), so the build never has to start wine.
# RESOURCE_LOCK keeps suites that share an outside resource (e.g. the one
# registry of a wine prefix) from running at the same time. RUN_SERIAL runs
# each case alone: for suites that switch on something every other suite
# reads (the signature check in a wine prefix's registry is one for all).
function(zevo_add_gtest name)
  cmake_parse_arguments(ARG "RUN_SERIAL" "" "SOURCES;LIBS;RESOURCE_LOCK" ${ARGN})
  set(lock_property)
  if(ARG_RESOURCE_LOCK)
    set(lock_property RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
  if(ARG_RUN_SERIAL)
    list(APPEND lock_property RUN_SERIAL TRUE)
  endif()
  add_executable(${name} ${ARG_SOURCES})
  zevo_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main zevo::abi)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/bin
    PROPERTIES TIMEOUT 300 ${lock_property})
endfunction()
