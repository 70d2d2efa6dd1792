# The demo: writes the sample game set into the build tree, then shows a whole session on it:
# the party, one member's spell levels, the spells of one level, a whack on a copy of the save
# (so the sample stays as made), and the level listed again; then the same given a whole game's
# folder in the current layout instead of a configuration file.
set(GRIMTRIM_DEMO_DIR ${CMAKE_BINARY_DIR}/sample)
file(MAKE_DIRECTORY ${GRIMTRIM_DEMO_DIR})

set(demo_commands)
macro(demo_step)
  list(APPEND demo_commands
    COMMAND ${CMAKE_COMMAND} -E echo ""
    COMMAND ${CMAKE_COMMAND} -E echo "$ grimtrim ${ARGN}"
    COMMAND $<TARGET_FILE:grimtrim> ${ARGN}
    COMMAND ${CMAKE_COMMAND} -E echo "")
endmacro()

demo_step(sample.gam sample.cfg)
demo_step(-p0 sample.gam sample.cfg)
demo_step(-p0 -s1 sample.gam sample.cfg)
list(APPEND demo_commands
  COMMAND ${CMAKE_COMMAND} -E echo ""
  COMMAND ${CMAKE_COMMAND} -E echo "$ cp sample.gam whacked.gam"
  COMMAND ${CMAKE_COMMAND} -E copy sample.gam whacked.gam)
demo_step(-p0 -s1 -w3 whacked.gam sample.cfg)
demo_step(-p0 -s1 whacked.gam sample.cfg)
# A game's folder: the index, string table, archives and loose spells found as the game finds them.
demo_step(../installed/save/000000002-Tower-Gate/party.gam ../installed)
demo_step(-p0 -s2 ../installed/save/000000002-Tower-Gate/party.gam ../installed)

add_custom_target(demo
  COMMAND make_sample ${GRIMTRIM_DEMO_DIR}
  COMMAND make_sample ${CMAKE_BINARY_DIR}/installed installed
  ${demo_commands}
  WORKING_DIRECTORY ${GRIMTRIM_DEMO_DIR}
  DEPENDS grimtrim make_sample
  USES_TERMINAL
  VERBATIM)
