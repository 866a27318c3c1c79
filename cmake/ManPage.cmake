# Makes the installed manual page from packaging/vantrel.1: the version, and the rows of the FILE
# TYPES table from the built program's --help (which prints the format table), so that a format
# added to the table is in the page without anyone writing its row.
# Run as: cmake -DVANTREL=<program> -DSOURCE=<vantrel.1> -DOUTPUT=<file> -DPROJECT_VERSION=<x.y.z> -P ManPage.cmake
execute_process(COMMAND ${VANTREL} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${VANTREL} --help ended with ${status}")
endif()
string(REGEX MATCH "\nFile types[^\n]*\n(  +[0-9]+  [^\n]+\n)+" listing "${help}")
string(REGEX MATCHALL "\n +[0-9]+  [^\n]+" rows "${listing}")
if(NOT rows)
  message(FATAL_ERROR "${VANTREL} --help lists no file types")
endif()
set(FILE_TYPES "")
foreach(row IN LISTS rows)
  # "   2  f20          Dynatest F20 or FWD (.F20, .FWD)" gives "2<TAB>f20<TAB>Dynatest F20 ...".
  string(REGEX MATCH "([0-9]+)  ([-a-z0-9]+) +(.*)" row "${row}")
  set(line "${CMAKE_MATCH_1}\t${CMAKE_MATCH_2}\t${CMAKE_MATCH_3}")
  string(REPLACE "-" "\\-" line "${line}")
  string(REPLACE ") (no reader)" "): no reader" line "${line}")
  string(APPEND FILE_TYPES "${line}\n")
endforeach()
string(STRIP "${FILE_TYPES}" FILE_TYPES)
configure_file(${SOURCE} ${OUTPUT} @ONLY)
