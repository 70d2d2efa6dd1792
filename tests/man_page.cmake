# Renders the manual page as man does and fails on any warning of the formatter.
#
#   cmake -DMAN_PAGE=<grimtrim.1> -P man_page.cmake
#
# Without groff the page cannot be rendered: the script says so, and the test is skipped.
cmake_minimum_required(VERSION 3.25)

find_program(GROFF groff)
if(NOT GROFF)
  message(STATUS "groff not found: the manual page is not rendered")
  return()
endif()
execute_process(COMMAND ${GROFF} -man -Tutf8 -ww -z ${MAN_PAGE}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE warnings)
if(NOT status EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff -man -Tutf8 -ww ${MAN_PAGE} exited with ${status}:\n${warnings}")
endif()
message(STATUS "${MAN_PAGE} renders without warnings")
