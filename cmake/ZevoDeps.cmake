# Third-party libraries, as zevo::* targets that read the same on every
# platform. Native builds use Debian's packages; the Windows build compiles
# pugixml from Debian's source package (fetched by scripts/setup into
# build/deps) and uses the platform-independent headers of nlohmann-json and
# CLI11 from a copy in the build tree (never /usr/include itself, which holds
# glibc's headers).

set(ZEVO_DEPS_DIR ${PROJECT_SOURCE_DIR}/build/deps CACHE PATH "Sources fetched by scripts/setup")

# Copies a header-only package from /usr/include into the build tree and
# makes an interface target for it.
function(zevo_header_only_copy target subdir)
  set(dest ${CMAKE_BINARY_DIR}/_deps/headers/${target})
  file(COPY /usr/include/${subdir} DESTINATION ${dest})
  add_library(${target} INTERFACE)
  target_include_directories(${target} SYSTEM INTERFACE ${dest})
endfunction()

if(CMAKE_CROSSCOMPILING)
  set(pugixml_src ${ZEVO_DEPS_DIR}/pugixml/src)
  if(NOT EXISTS ${pugixml_src}/pugixml.cpp)
    message(FATAL_ERROR "pugixml sources missing in ${ZEVO_DEPS_DIR}: run scripts/setup")
  endif()
  add_library(zevo_pugixml STATIC ${pugixml_src}/pugixml.cpp)
  target_include_directories(zevo_pugixml SYSTEM PUBLIC ${pugixml_src})
  zevo_target_defaults(zevo_pugixml)
  target_compile_options(zevo_pugixml PRIVATE -w)  # not our code
  add_library(zevo::pugixml ALIAS zevo_pugixml)

  zevo_header_only_copy(zevo_json nlohmann)
  zevo_header_only_copy(zevo_cli11 CLI)
else()
  find_package(pugixml REQUIRED)
  add_library(zevo_pugixml INTERFACE)
  target_link_libraries(zevo_pugixml INTERFACE pugixml::pugixml)
  add_library(zevo::pugixml ALIAS zevo_pugixml)

  find_package(nlohmann_json REQUIRED)
  add_library(zevo_json INTERFACE)
  target_link_libraries(zevo_json INTERFACE nlohmann_json::nlohmann_json)

  find_package(CLI11 REQUIRED)
  add_library(zevo_cli11 INTERFACE)
  target_link_libraries(zevo_cli11 INTERFACE CLI11::CLI11)

  # The POSIX platform layer's crypto and trust checks.
  find_package(OpenSSL 3 REQUIRED)
  add_library(zevo_openssl INTERFACE)
  target_link_libraries(zevo_openssl INTERFACE OpenSSL::Crypto)
  add_library(zevo::openssl ALIAS zevo_openssl)
endif()
add_library(zevo::json ALIAS zevo_json)
add_library(zevo::cli11 ALIAS zevo_cli11)

# Benchmarks: native, optimised, unsanitised builds only (ratios from a
# sanitised build would mean nothing).
set(ZEVO_BUILD_BENCHMARKS OFF)
if(NOT CMAKE_CROSSCOMPILING AND NOT ZEVO_SANITIZE AND NOT ZEVO_BUILD_FUZZERS)
  find_package(benchmark QUIET)
  if(benchmark_FOUND)
    set(ZEVO_BUILD_BENCHMARKS ON)
  endif()
endif()
