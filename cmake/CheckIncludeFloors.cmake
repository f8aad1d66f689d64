# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file includes a header of a folder on its own floor or above it.
#   cmake -DSOURCE_DIR=<project root> -P cmake/CheckIncludeFloors.cmake
# The floors, from the ground up: data and ephemeris; astro, drawing and sbdb; charts and
# writers; browse, diagrams and export; cli; gui and datatool. A folder includes only the folders
# listed for it here. The viewer's folders and nivra-data's meet only in data/ and drawing/, and
# in cli/'s header-only memory tuning, which both programs take.
set(allowed_data "")
set(allowed_astro data)
set(allowed_drawing data)
set(allowed_charts data astro drawing)
set(allowed_browse data astro drawing charts)
set(allowed_diagrams data astro drawing charts)
set(allowed_export data astro drawing charts)
set(allowed_cli data astro drawing charts browse diagrams export)
set(allowed_gui data astro drawing charts browse diagrams export cli)
set(allowed_ephemeris "")
set(allowed_sbdb data ephemeris)
set(allowed_writers data ephemeris sbdb)
set(allowed_datatool data drawing ephemeris sbdb writers cli)
set(floors data astro drawing charts browse diagrams export cli gui ephemeris sbdb writers
  datatool)

set(violations "")
foreach(folder IN LISTS floors)
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}"
    "${SOURCE_DIR}/${folder}/*.h" "${SOURCE_DIR}/${folder}/*.cpp")
  foreach(source IN LISTS sources)
    file(STRINGS "${SOURCE_DIR}/${source}" includes REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS includes)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]*)\".*" "\\1" header "${line}")
      if(NOT header MATCHES "/")
        continue()
      endif()
      string(REGEX REPLACE "/.*" "" target "${header}")
      if(target STREQUAL folder)
        continue()
      endif()
      list(FIND floors "${target}" known)
      list(FIND allowed_${folder} "${target}" permitted)
      if(known EQUAL -1 OR permitted EQUAL -1)
        string(APPEND violations "  ${source} includes ${header}\n")
      endif()
    endforeach()
  endforeach()
endforeach()

if(violations)
  message(FATAL_ERROR "Includes that run up a floor (or into a folder no floor may use):\n"
    "${violations}")
endif()
message(STATUS "Every include stays on its floor or goes down")
