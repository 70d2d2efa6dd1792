# Checks an installed grimtrim: runs it on a fresh sample set, lists the party, whacks a spell
# from a copy of the save and lists the level again, comparing everything it prints with the
# texts below.
#
#   cmake -DPROGRAM=<installed grimtrim> -DMAKE_SAMPLE=<make_sample> -DWORK_DIR=<empty dir>
#         [-DINSTALL_FROM=<build dir> -DCONFIG=<configuration> -DSOURCE_DIR=<source dir>
#          -DEXE_SUFFIX=<.exe or nothing>] -P installed_program.cmake
#
# With INSTALL_FROM, the build is first installed into WORK_DIR/prefix, the installed files are
# checked, and PROGRAM is the grimtrim installed there.
cmake_minimum_required(VERSION 3.25)

foreach(required MAKE_SAMPLE WORK_DIR)
  if(NOT DEFINED ${required})
    message(FATAL_ERROR "installed_program.cmake: ${required} is not set")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

if(DEFINED INSTALL_FROM)
  set(prefix ${WORK_DIR}/prefix)
  execute_process(COMMAND ${CMAKE_COMMAND} --install ${INSTALL_FROM} --config ${CONFIG}
                          --prefix ${prefix}
                  RESULT_VARIABLE status OUTPUT_VARIABLE ignored)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "cmake --install ${INSTALL_FROM} --prefix ${prefix} failed: ${status}")
  endif()
  file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
  list(SORT installed)
  set(expected bin/grimtrim${EXE_SUFFIX} share/doc/grimtrim/LICENSE share/doc/grimtrim/README.md
               share/man/man1/grimtrim.1)
  if(NOT installed STREQUAL expected)
    message(FATAL_ERROR "installed: ${installed}\nexpected: ${expected}")
  endif()
  foreach(pair "docs/grimtrim.1;share/man/man1/grimtrim.1" "README.md;share/doc/grimtrim/README.md"
               "LICENSE;share/doc/grimtrim/LICENSE")
    list(GET pair 0 source)
    list(GET pair 1 copy)
    file(SHA256 ${SOURCE_DIR}/${source} source_hash)
    file(SHA256 ${prefix}/${copy} copy_hash)
    if(NOT source_hash STREQUAL copy_hash)
      message(FATAL_ERROR "${prefix}/${copy} is not ${SOURCE_DIR}/${source}")
    endif()
  endforeach()
  set(PROGRAM ${prefix}/bin/grimtrim${EXE_SUFFIX})
endif()

if(NOT DEFINED PROGRAM OR NOT EXISTS ${PROGRAM})
  message(FATAL_ERROR "no installed program at <${PROGRAM}>")
endif()

set(sample ${WORK_DIR}/sample)
execute_process(COMMAND ${MAKE_SAMPLE} ${sample} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${MAKE_SAMPLE} ${sample} failed: ${status}")
endif()

# Runs the program in the sample folder and compares its output and exit status.
function(expect_run expected_output)
  execute_process(COMMAND ${PROGRAM} ${ARGN} WORKING_DIRECTORY ${sample}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output)
  if(NOT status EQUAL 0 OR NOT output STREQUAL expected_output)
    message(FATAL_ERROR "grimtrim ${ARGN} exited with ${status} and printed\n[${output}]\n"
                        "instead of\n[${expected_output}]")
  endif()
endfunction()

expect_run([==[

Orvane's Grimtrim 1.01 -- whack spells a Vellmark character
                                     has in his/her spell book

0 Selwyn
1 Brother Aldric
2 Tamsin -- no spells
3 Quill
4 Maren
5 Hollis the Grey


Use -pN to select the party member]==] sample.gam sample.cfg)

file(COPY_FILE ${sample}/sample.gam ${sample}/whacked.gam)
expect_run([==[

Orvane's Grimtrim 1.01 -- whack spells a Vellmark character
                                     has in his/her spell book

0 Selwyn
Whacking Witchlight

first memorized spell of lowest spell level will be duplicated]==]
           -p0 -s1 -w3 whacked.gam sample.cfg)

expect_run([==[

Orvane's Grimtrim 1.01 -- whack spells a Vellmark character
                                     has in his/her spell book

0 Selwyn
Level 1, Spell 1: Ember Dart
Level 1, Spell 2: Frost Veil
Level 1, Spell 3: Lesser Ward
Level 1, Spell 4: Slumber Dust
]==] -p0 -s1 whacked.gam sample.cfg)

message(STATUS "${PROGRAM} works on the sample set")
