# Installs the tests' node packages from the lock file when they are missing or older than it;
# npm keeps its own copy of the lock in node_modules, so that copy tells when they were installed.
# Usage: cmake -DNPM=<npm> -DWEB_DIR=<web> -P npm_ci.cmake
set(installed ${WEB_DIR}/node_modules/.package-lock.json)
if(EXISTS ${installed} AND NOT ${WEB_DIR}/package-lock.json IS_NEWER_THAN ${installed})
  message(STATUS "node packages are up to date")
  return()
endif()
execute_process(COMMAND ${NPM} ci --no-audit --no-fund
                WORKING_DIRECTORY ${WEB_DIR}
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "npm ci failed (${result})")
endif()
