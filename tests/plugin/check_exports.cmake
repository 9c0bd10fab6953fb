# Compares the functions and data a shared library exports with the names it should export.
#   cmake -DNM=nm -DLIBRARY=lib.so "-DEXPECTED=a;b;c" -P check_exports.cmake
# Reports each name that is missing and each one that is exported beyond the list, and fails
# when there is either.
cmake_minimum_required(VERSION 3.25)

foreach(var NM LIBRARY EXPECTED)
  if(NOT DEFINED ${var} OR "${${var}}" STREQUAL "")
    message(FATAL_ERROR "check_exports: ${var} is not set")
  endif()
endforeach()

execute_process(COMMAND ${NM} -D --defined-only ${LIBRARY}
                OUTPUT_VARIABLE symbols ERROR_VARIABLE errors RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "check_exports: ${NM} failed on ${LIBRARY}: ${errors}")
endif()

# Each line is "address type name"; a version suffix (name@@VERSION) is not part of the name.
string(REPLACE "\n" ";" lines "${symbols}")
set(exported)
foreach(line IN LISTS lines)
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^ @]+)")
    list(APPEND exported ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT exported)
list(REMOVE_DUPLICATES exported)

set(problems)
foreach(name IN LISTS EXPECTED)
  if(NOT name IN_LIST exported)
    list(APPEND problems "missing export: ${name}")
  endif()
endforeach()
foreach(name IN LISTS exported)
  if(NOT name IN_LIST EXPECTED)
    list(APPEND problems "unexpected export: ${name}")
  endif()
endforeach()

if(problems)
  list(JOIN problems "\n  " report)
  message(FATAL_ERROR "check_exports: ${LIBRARY}: expected exactly ${EXPECTED}, got ${exported}\n  ${report}")
endif()
message(STATUS "check_exports: ${LIBRARY} exports exactly ${exported}")
