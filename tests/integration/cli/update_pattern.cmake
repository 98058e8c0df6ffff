# zevo-host components and update-pattern on a copy of the engine folder, run
# by ctest as `cmake -P`:
#   -DZEVO_HOST=<zevo-host> [-DEMULATOR=<wine64>] -DENGINE=<engine folder> -DWORK=<folder>
# Paths given to zevo-host are relative to WORK, so they hold under wine.
cmake_minimum_required(VERSION 3.25)

function(zevo_host)
  execute_process(COMMAND ${EMULATOR} ${ZEVO_HOST} ${ARGN}
                  WORKING_DIRECTORY ${WORK} OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE rc)
  message(STATUS "zevo-host ${ARGN} -> ${rc}\n${out}")
  set(OUT "${out}" PARENT_SCOPE)
  set(RC "${rc}" PARENT_SCOPE)
endfunction()

# The last run's exit code, its output, the pattern in place and nothing kept beside it.
function(expect rc regex pattern)
  file(SHA256 ${WORK}/eng/tarskptn.da6 present)
  file(GLOB left ${WORK}/eng/tarskptn.da6.*)
  if(NOT RC STREQUAL rc OR NOT OUT MATCHES "${regex}" OR NOT present STREQUAL pattern OR left)
    message(FATAL_ERROR "expected exit ${rc}, output ${regex}, pattern ${pattern}; left beside: ${left}")
  endif()
endfunction()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${ENGINE}/ DESTINATION ${WORK}/eng)
file(READ ${ENGINE}/tarskptn.da6 shipped)
file(SHA256 ${ENGINE}/tarskptn.da6 old)
# A good new pattern: another version text under a checksum of its own.
string(REPLACE "version\t2026.12.06.1" "version\t2027.01.01.1" fresh "${shipped}")
string(REGEX REPLACE "checksum\t[0-9a-f]+\n$" "" fresh "${fresh}")
string(SHA256 sum "${fresh}")
file(WRITE ${WORK}/new.da6 "${fresh}checksum\t${sum}\n")
file(SHA256 ${WORK}/new.da6 new)
string(LENGTH "${shipped}" length)
math(EXPR half "${length} / 2")
string(SUBSTRING "${shipped}" 0 ${half} truncated)
file(WRITE ${WORK}/damaged.da6 "${truncated}")

zevo_host(components --engine-dir eng)
expect(0 "engine +0x40080000 +0 +2 +\\. +1\r?\npattern +0x40000010 +0 +1 +\\. +0\r?\nModule record \\(4109: 0x200c0000\\): 10001 2 1 0 1248 2 0.*engine +0x40080000 +3\\.2\\.0\\.1024 +eng.*tarsk64\\.dll\r?\npattern +0x40000010 +2026\\.12\\.06\\.1 +tarskptn\\.da6" ${old})
zevo_host(components --json --engine-dir eng)
expect(0 "\"moduleRecord\": \\[[ \r\n]*10001,.*\"version\": \"2026\\.12\\.06\\.1\"" ${old})

zevo_host(update-pattern --engine-dir eng no-such.da6)
expect(2 "zevo-host: no such pattern file: no-such\\.da6" ${old})
zevo_host(update-pattern --engine-dir eng damaged.da6)
expect(2 "zevo-host: the new pattern failed the check: 0xe030fffa; the old pattern is back" ${old})
zevo_host(update-pattern --engine-dir eng new.da6)
expect(0 "Before.*pattern +0x40000010 +2026\\.12\\.06\\.1.*After.*pattern +0x40000010 +2027\\.01\\.01\\.1" ${new})
