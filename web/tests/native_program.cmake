# Builds the native grimtrim and make_sample, which the browser tests compare the page with, from
# the same source tree with the host's compiler. Nothing of the WebAssembly build's toolchain may
# reach this build: its compiler and flags come from the host alone.
# Usage: cmake -DSOURCE_DIR=<src> -DBINARY_DIR=<bin> -DGENERATOR=<generator> -P native_program.cmake
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=CC --unset=CXX --unset=CXXFLAGS --unset=LDFLAGS
          --unset=EMSDK --unset=EM_CONFIG
          ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BINARY_DIR} -G ${GENERATOR}
          -DCMAKE_TOOLCHAIN_FILE= -DCMAKE_BUILD_TYPE=Release -DGRIMTRIM_BUILD_TESTS=OFF
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "configuring the native build failed (${result})")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} --build ${BINARY_DIR} --target grimtrim make_sample --parallel 2
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "building the native grimtrim failed (${result})")
endif()
