# Install rules, the desktop files, icons and the Debian package.
set(RTS_RELEASE_DATE 2026-12-09)
set(RTS_DIST_DIR ${CMAKE_CURRENT_BINARY_DIR}/dist)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rtsdemo.metainfo.xml.in
               ${RTS_DIST_DIR}/rtsdemo.metainfo.xml @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/rtsdemo.6.in ${RTS_DIST_DIR}/rtsdemo.6.in @ONLY)
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in ${RTS_DIST_DIR}/changelog @ONLY)

# The manual page, its options, keys and script commands from the program's own tables;
# installed compressed, as are the changelog.
add_executable(make_manual ${CMAKE_CURRENT_LIST_DIR}/make_manual.cpp)
target_link_libraries(make_manual PRIVATE rts_app)
set_target_properties(make_manual PROPERTIES AUTOMOC OFF)
add_custom_command(OUTPUT ${RTS_DIST_DIR}/rtsdemo.6 ${RTS_DIST_DIR}/rtsdemo.6.gz
  COMMAND make_manual ${RTS_DIST_DIR}/rtsdemo.6.in ${RTS_DIST_DIR}/rtsdemo.6
  COMMAND gzip -9nkf ${RTS_DIST_DIR}/rtsdemo.6
  DEPENDS make_manual ${RTS_DIST_DIR}/rtsdemo.6.in
  COMMENT "Writing the manual page")
add_custom_command(OUTPUT ${RTS_DIST_DIR}/changelog.gz
  COMMAND gzip -9nkf ${RTS_DIST_DIR}/changelog
  DEPENDS ${RTS_DIST_DIR}/changelog)
add_custom_target(rts_manual ALL DEPENDS ${RTS_DIST_DIR}/rtsdemo.6.gz ${RTS_DIST_DIR}/changelog.gz)

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

install(TARGETS rtsdemo RUNTIME DESTINATION ${RTS_INSTALL_BINDIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/data/ DESTINATION ${RTS_INSTALL_DATADIR})
install(FILES ${CMAKE_CURRENT_LIST_DIR}/rtsdemo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${RTS_DIST_DIR}/rtsdemo.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${RTS_DIST_DIR}/rtsdemo.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright ${RTS_DIST_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY ${RTS_ICON_DIR}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rtsdemo)
set(CPACK_PACKAGE_VENDOR "rtsdemo developers")
set(CPACK_PACKAGE_CONTACT "rtsdemo developers <rtsdemo@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "small real-time-strategy demo with OpenGL")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Two races build bases, mine ore and fight on a top-down battlefield drawn with
OpenGL. The computer plays both sides; the player watches, selects and orders
units with the mouse.")
# The libraries come from dpkg-shlibdeps; the window's labels ask for DejaVu Sans.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core")
include(CPack)
