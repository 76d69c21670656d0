# Installation and the Debian package.
#
# The editor's default catalogues (tilelist.xml, textures/, brushes/, terrains/) sit in the
# folder of its executable. An installed copy therefore keeps the programs and the defaults
# together in <prefix>/lib/tolvanebrimholt and puts symbolic links to the programs into
# <prefix>/bin. The program folder is resolved through the links (/proc/self/exe). As that
# folder is not writable for users, the editor copies the defaults on its first start into
# the user's data folder (~/.local/share/Tolvane Brimholt) and works there.

include(GNUInstallDirs)

set(TB_INSTALL_APPDIR lib/tolvanebrimholt)
set(TB_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

set(tb_installed_programs)
foreach(program IN ITEMS tbmapedit tbmap)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${TB_INSTALL_APPDIR})
    set(link ${CMAKE_BINARY_DIR}/install-links/${program})
    file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
    file(CREATE_LINK ../${TB_INSTALL_APPDIR}/${program} ${link} SYMBOLIC)
    install(FILES ${link} DESTINATION ${CMAKE_INSTALL_BINDIR})
    list(APPEND tb_installed_programs ${program})
  endif()
endforeach()

install(FILES ${PROJECT_SOURCE_DIR}/data/tilelist.xml DESTINATION ${TB_INSTALL_APPDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/textures ${PROJECT_SOURCE_DIR}/data/brushes
                  ${PROJECT_SOURCE_DIR}/data/terrains DESTINATION ${TB_INSTALL_APPDIR})

if(TARGET tbmapedit)
  install(FILES ${TB_PACKAGING_DIR}/tolvanebrimholt.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${TB_PACKAGING_DIR}/tolvanebrimholt.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${TB_PACKAGING_DIR}/tolvanebrimholt-48.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/48x48/apps
          RENAME tolvanebrimholt.png)
endif()

# cpack -G DEB in the build folder.
set(CPACK_PACKAGE_NAME tolvanebrimholt)
set(CPACK_PACKAGE_VENDOR "Tolvane Brimholt")
set(CPACK_PACKAGE_CONTACT "Tolvane Brimholt maintainers <maintainers@tolvanebrimholt.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Terrain map editor for Ultima Online map files")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
