# Install rules, the desktop files, icons and the Debian package.
set(RTS_RELEASE_DATE 2026-12-09)
set(RTS_DIST_DIR ${CMAKE_CURRENT_BINARY_DIR}/dist)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rtsdemo.metainfo.xml.in
               ${RTS_DIST_DIR}/rtsdemo.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rtsdemo.6.in ${RTS_DIST_DIR}/rtsdemo.6 @ONLY)

# Icons drawn by the data-set generator from the base sheet, at the usual hicolor sizes.
set(RTS_ICON_SIZES 16 22 24 32 48 64 128 256)
set(RTS_ICON_DIR ${RTS_DIST_DIR}/icons)
set(RTS_ICON_FILES)
foreach(size ${RTS_ICON_SIZES})
  list(APPEND RTS_ICON_FILES ${RTS_ICON_DIR}/${size}x${size}/apps/rtsdemo.png)
endforeach()
add_custom_command(OUTPUT ${RTS_ICON_FILES}
  COMMAND datagen --icons ${RTS_ICON_DIR} ${RTS_ICON_SIZES}
  DEPENDS datagen
  COMMENT "Drawing the icons")
add_custom_target(rts_icons ALL DEPENDS ${RTS_ICON_FILES})

install(TARGETS rtsdemo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${RTS_INSTALL_DATADIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/rtsdemo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RTS_DIST_DIR}/rtsdemo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${RTS_DIST_DIR}/rtsdemo.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(DIRECTORY ${RTS_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rtsdemo)
set(CPACK_PACKAGE_VENDOR "rtsdemo developers")
set(CPACK_PACKAGE_CONTACT "rtsdemo developers <rtsdemo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two races build bases, mine ore and fight on a top-down battlefield drawn with OpenGL. \
The computer plays both sides; the player watches, selects and orders units with the mouse.")
# The libraries come from dpkg-shlibdeps; the window's labels ask for DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
