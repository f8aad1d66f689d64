# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the package's changelog (Debian's format) from NEWS.md, every version of it.
#   cmake -DNEWS=<NEWS.md> -DOUT=<changelog> -DMAINTAINER="Name <address>" -P DebianChangelog.cmake
file(STRINGS "${NEWS}" lines)
set(text "")
set(entry "")
macro(finish_entry)
  if(version)
    execute_process(COMMAND date -u -R -d "${date} 12:00:00"
      OUTPUT_VARIABLE stamp OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND text "nivra (${version}) unstable; urgency=medium\n\n${entry}\n"
      " -- ${MAINTAINER}  ${stamp}\n\n")
  endif()
  set(entry "")
endmacro()
foreach(line IN LISTS lines)
  if(line MATCHES "^## ([0-9.]+) \\(([0-9-]+)\\)$")
    finish_entry()
    set(version ${CMAKE_MATCH_1})
    set(date ${CMAKE_MATCH_2})
  elseif(version AND line MATCHES "^- (.*)$")
    string(APPEND entry "  * ${CMAKE_MATCH_1}\n")
  elseif(version AND line MATCHES "^  (.*)$")
    string(APPEND entry "    ${CMAKE_MATCH_1}\n")
  endif()
endforeach()
finish_entry()
string(REGEX REPLACE "\n\n$" "\n" text "${text}")
file(WRITE "${OUT}" "${text}")
