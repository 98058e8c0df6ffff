# cmake -DFILE=<library> -DFORMAT=<elf or pe> -DTOOL=<nm or objdump> -DPATTERN=<regex> -DCOUNT=<n>
#       -P CheckExports.cmake
#
# Fails unless the shared library FILE exports exactly COUNT names, each
# matching PATTERN. ELF libraries are read with `nm -D`, PE DLLs with
# `objdump -p` (its export name table).
if(FORMAT STREQUAL "elf")
  execute_process(COMMAND ${TOOL} -D --defined-only --format=posix ${FILE}
                  OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
  set(entry "^([^ ]+) [A-Za-z] ")
else()
  execute_process(COMMAND ${TOOL} -p ${FILE} OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
  # The name pointer table's lines; the address table's read "+base[...] ...".
  set(entry "^\t\\[ *[0-9]+\\] ([^ +][^ ]*)$")
endif()
if(failed)
  message(FATAL_ERROR "${TOOL} could not read ${FILE}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(names)
foreach(line IN LISTS lines)
  if(line MATCHES "${entry}")
    list(APPEND names "${CMAKE_MATCH_1}")
  endif()
endforeach()
set(strays ${names})
list(FILTER strays EXCLUDE REGEX "${PATTERN}")
list(LENGTH names found)
if(strays OR NOT found EQUAL COUNT)
  list(JOIN strays "\n  " strays)
  message(FATAL_ERROR "${FILE}: ${found} exports, ${COUNT} expected; not matching ${PATTERN}:\n  ${strays}")
endif()
