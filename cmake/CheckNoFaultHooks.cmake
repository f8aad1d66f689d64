# SPDX-FileCopyrightText: 2026 The Nivra developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails unless the program users run, nivra-data, carries none of the fault hooks' variable
# names, while the tests' build of it, nivra-data-faults, carries both.
#   cmake -DRELEASE=<nivra-data> -DFAULTS=<nivra-data-faults> -P cmake/CheckNoFaultHooks.cmake
set(names NIVRA_DATA_DIE_AFTER_ROWS NIVRA_DATA_DIE_AFTER_RECORDS)
file(STRINGS "${RELEASE}" release_hits REGEX "NIVRA_DATA_DIE_AFTER")
if(release_hits)
  message(FATAL_ERROR "${RELEASE} carries fault hooks: ${release_hits}")
endif()
foreach(name IN LISTS names)
  file(STRINGS "${FAULTS}" faults_hits REGEX "${name}")
  if(NOT faults_hits)
    message(FATAL_ERROR "${FAULTS} lacks the hook ${name}")
  endif()
endforeach()
message(STATUS "nivra-data has no fault hooks; its tests' build has them")
