# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Run by CPack for the installer and the zip (CPACK_PRE_BUILD_SCRIPTS), once
# the files are staged and stripped and before they are packed: where the
# environment names a signing command (MORPH_AUTHENTICODE_SIGN, set by
# scripts/package windows when it is given a code-signing certificate), every
# program staged is signed with it, so that the installer installs a signed
# program and the zip holds one.
if(NOT "$ENV{MORPH_AUTHENTICODE_SIGN}" STREQUAL "")
  file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
  if(NOT programs)
    message(FATAL_ERROR "No program staged in ${CPACK_TEMPORARY_DIRECTORY} to sign")
  endif()
  foreach(program IN LISTS programs)
    execute_process(COMMAND $ENV{MORPH_AUTHENTICODE_SIGN} ${program} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "Could not sign ${program}")
    endif()
  endforeach()
endif()
