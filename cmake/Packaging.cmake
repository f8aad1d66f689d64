# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Install rules and the Debian package (cmake --install, cpack). Installed: the three programs,
# the desktop entry and its icons, the AppStream metainfo, the man pages (made from the programs'
# own --help by help2man, so they never drift) and the shipped SBDB exports.
include(GNUInstallDirs)

install(TARGETS nivra nivra-data nivra-launcher RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.example.nivra.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/org.example.nivra.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/resources/nivra.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME org.example.nivra.svg)
foreach(size 16 22 24 32 48 64 128 256 512)
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/nivra-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME org.example.nivra.png)
endforeach()
# Where bash-completion looks for the completions of a command: a file named after it.
install(FILES ${PROJECT_SOURCE_DIR}/resources/completions/nivra
  ${PROJECT_SOURCE_DIR}/resources/completions/nivra-data
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
install(FILES ${PROJECT_SOURCE_DIR}/resources/data/asteroids.json
  ${PROJECT_SOURCE_DIR}/resources/data/comets.json ${PROJECT_SOURCE_DIR}/resources/data/README.md
  DESTINATION ${CMAKE_INSTALL_DATADIR}/nivra/sbdb)

find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(pages "")
  foreach(program nivra nivra-data nivra-launcher)
    if(program STREQUAL "nivra")
      set(summary "viewer of the orbits of asteroids and comets")
    elseif(program STREQUAL "nivra-data")
      set(summary "catalogues and ephemeris files for the Nivra viewer")
    else()
      set(summary "start the Nivra viewer, making the sample sky on the first start")
    endif()
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
        ${HELP2MAN} --no-info --version-string=${PROJECT_VERSION} --name=${summary}
        --output=${page} $<TARGET_FILE:${program}>
      COMMAND gzip -9nf ${page}
      DEPENDS ${program}
      COMMENT "Man page of ${program}")
    set(page ${page}.gz)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages (scripts/install-deps.sh --package)")
endif()

# The package's copyright (machine-readable) and changelog (made from NEWS.md), where Debian
# looks for them.
set(changelog ${PROJECT_BINARY_DIR}/package/changelog)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${CMAKE_COMMAND} -DNEWS=${PROJECT_SOURCE_DIR}/NEWS.md -DOUT=${changelog}
    "-DMAINTAINER=The Nivra developers <nivra@example.org>"
    -P ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
  COMMAND gzip -9nf ${changelog}
  DEPENDS ${PROJECT_SOURCE_DIR}/NEWS.md ${PROJECT_SOURCE_DIR}/cmake/DebianChangelog.cmake
  COMMENT "The package's changelog from NEWS.md" VERBATIM)
add_custom_target(package_changelog ALL DEPENDS ${changelog}.gz)
install(FILES ${changelog}.gz ${PROJECT_SOURCE_DIR}/resources/package/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/nivra)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nivra)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Nivra developers")
set(CPACK_PACKAGE_CONTACT "The Nivra developers <nivra@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "viewer of the orbits of asteroids and comets")
# The long description, in lines of Debian's width (at most 80 characters with the leading blank).
set(CPACK_PACKAGE_DESCRIPTION "Nivra draws the track of a small body of the solar system across
the sky in four coordinate frames, its orbit among the planets and a panel
of orbital quantities, from JPL Small-Body Database exports. nivra-data
builds the catalogue and daily ephemerides; the first start makes a sample
sky.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://nivra.example.org/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The libraries the programs link come from dpkg-shlibdeps. What they open at run time cannot be
# found that way: the face the charts are measured for, and the desktop's browser lookup.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, xdg-utils")
include(CPack)
