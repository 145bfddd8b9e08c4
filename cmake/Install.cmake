# What `cmake --install` puts where, and the Debian package built from it
# (`cpack -G DEB` in the build tree).
include(GNUInstallDirs)

install(TARGETS sfxtool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET sfxpack)
  # Installed as the build left it: stripping it again (install --strip,
  # CPack) would cut the zero bytes it ends in.
  install(PROGRAMS $<TARGET_FILE:sfxpack> DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES dist/sfxpack.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES dist/mime/sfxpack.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
  install(FILES dist/icons/sfxpack.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(DIRECTORY dist/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES dist/bash-completion/sfxtool DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Man pages and the Debian changelog go in compressed, as Debian's policy
# wants them: gzip -9n leaves no name or time stamp in the file.
find_program(SFX_GZIP gzip REQUIRED)
set(_gz ${PROJECT_BINARY_DIR}/dist)
foreach(_page sfxpack.1 sfxtool.1)
  add_custom_command(OUTPUT ${_gz}/${_page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_gz}
    COMMAND ${SFX_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/dist/man/${_page} > ${_gz}/${_page}.gz
    DEPENDS ${PROJECT_SOURCE_DIR}/dist/man/${_page} VERBATIM)
  list(APPEND _compressed ${_gz}/${_page}.gz)
  install(FILES ${_gz}/${_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_command(OUTPUT ${_gz}/changelog.gz
  COMMAND ${SFX_GZIP} -9n -c ${PROJECT_SOURCE_DIR}/dist/debian/changelog > ${_gz}/changelog.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/dist/debian/changelog ${_compressed} VERBATIM)
add_custom_target(sfx_compressed_docs ALL DEPENDS ${_compressed} ${_gz}/changelog.gz)

set(_doc ${CMAKE_INSTALL_DATADIR}/doc/sfxpack)
install(FILES README.md LICENSE dist/debian/copyright DESTINATION ${_doc})
install(FILES ${_gz}/changelog.gz DESTINATION ${_doc})

set(CPACK_PACKAGE_NAME sfxpack)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "The sfxpack project <sfxpack@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builds self-extracting installers")
set(CPACK_PACKAGE_DESCRIPTION
"sfxpack is an editor for installer scripts and the setup screen of every
installer it builds: one small FLTK program that, with a package appended,
shows the script's setup screen and runs its tasks (extract files, write
files and registry-store values, start programs, show messages).
sfxtool builds, inspects and verifies installers from the command line.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Run: opens documents with xdg-open.
set(CPACK_DEBIAN_PACKAGE_DEPENDS xdg-utils)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
