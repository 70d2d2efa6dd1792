# What an install puts where, and the archive the package step makes of it. On Windows
# everything sits in one folder: the program, and the README and licence as text files that
# open with a double click.
include(GNUInstallDirs)
if(WIN32)
  set(grimtrim_program_dir .)
  set(grimtrim_doc_dir .)
  set(grimtrim_text_suffix .txt)
else()
  set(grimtrim_program_dir ${CMAKE_INSTALL_BINDIR})
  set(grimtrim_doc_dir ${CMAKE_INSTALL_DOCDIR})
  set(grimtrim_text_suffix)
endif()

install(TARGETS grimtrim RUNTIME DESTINATION ${grimtrim_program_dir})
install(FILES README.md DESTINATION ${grimtrim_doc_dir} RENAME README${grimtrim_text_suffix})
if(EXISTS ${PROJECT_SOURCE_DIR}/LICENSE)
  install(FILES LICENSE DESTINATION ${grimtrim_doc_dir} RENAME LICENSE${grimtrim_text_suffix})
elseif(WIN32)
  message(WARNING "No LICENSE file: a package made now has no licence in it")
endif()

set(CPACK_PACKAGE_NAME grimtrim)
set(CPACK_PACKAGE_VENDOR "the Grimtrim developers")
set(CPACK_PACKAGE_FILE_NAME grimtrim-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
set(CPACK_GENERATOR ZIP)
set(CPACK_STRIP_FILES ON)
include(CPack)
