# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The facts the build and the scripts share, each worked out here only:
#   MORPH_VERSION            the version: the newest entry of data/changelog,
#                            so that a release is made by adding one
#   MORPH_FREEGLUT_VERSION   the freeglut the Windows and browser builds are
#                            made with, from Debian's source package
#   morph_source_date_epoch  the time every file and header in the packages
#                            and the release carries
# Included by CMakeLists.txt; scripts read them with
#   eval "$(cmake -P cmake/facts.cmake)"
# which prints MORPH_VERSION, MORPH_FREEGLUT_VERSION and SOURCE_DATE_EPOCH as
# shell assignments.

set(MORPH_FREEGLUT_VERSION 3.4.0)

set(morph_root ${CMAKE_CURRENT_LIST_DIR}/..)
file(STRINGS ${morph_root}/data/changelog morph_newest LIMIT_COUNT 1)
if(NOT morph_newest MATCHES "^morph-viewer \\(([0-9]+\\.[0-9]+\\.[0-9]+)\\) ")
  message(FATAL_ERROR "data/changelog does not start with an entry \"morph-viewer (X.Y.Z) ...\"")
endif()
set(MORPH_VERSION ${CMAKE_MATCH_1})

# morph_source_date_epoch(OUT): seconds since 1970. SOURCE_DATE_EPOCH from
# the environment if set; else, in a source archive, the commit's time that
# git archive wrote into cmake/source-date.txt; else the last commit's time;
# else (a source tree without either) the newest changelog entry's.
function(morph_source_date_epoch out)
  file(STRINGS ${morph_root}/cmake/source-date.txt archive_date REGEX "^[0-9]+$")
  if(DEFINED ENV{SOURCE_DATE_EPOCH})
    set(epoch $ENV{SOURCE_DATE_EPOCH})
  elseif(archive_date)
    set(epoch ${archive_date})
  else()
    execute_process(COMMAND git -C ${morph_root} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status ERROR_QUIET)
    if(NOT status EQUAL 0)
      execute_process(COMMAND dpkg-parsechangelog -l ${morph_root}/data/changelog -S Timestamp
                      OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No source date: set SOURCE_DATE_EPOCH")
  endif()
  set(${out} ${epoch} PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE STREQUAL CMAKE_CURRENT_LIST_FILE)
  morph_source_date_epoch(epoch)
  execute_process(COMMAND ${CMAKE_COMMAND} -E echo
                  "MORPH_VERSION=${MORPH_VERSION} MORPH_FREEGLUT_VERSION=${MORPH_FREEGLUT_VERSION} SOURCE_DATE_EPOCH=${epoch}")
endif()
