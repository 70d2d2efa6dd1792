# Packages of what the install rules install, made by CPack: the Debian package on Linux (the
# `package` workflow preset), a .zip of one folder on Windows (`windows-package`).
set(CPACK_PACKAGE_NAME grimtrim)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "the Grimtrim developers")
set(CPACK_PACKAGE_CONTACT "Grimtrim Developers <dev@grimtrim.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "save-game editor that whacks a spell from a party member's spell book")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME
      grimtrim-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # grimtrim_<version>_<architecture>.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  # The long description under the summary; CPack lays the lines out as the control file wants.
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
      "grimtrim lists the members of the party in a saved game of the party-based
role-playing game that its messages call Vellmark, the levels of the
spell-book spells a member knows and the numbered spells of one level, and
removes one known spell from one member. It edits the save in place without
changing its size and keeps no backup: copy the save first.")
  # The libraries the program links, with their versions, as the system's own tool finds them;
  # without that tool the package names them without versions.
  find_program(GRIMTRIM_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(GRIMTRIM_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libstdc++6, libgcc-s1")
  endif()
endif()

include(CPack)
