# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The RPM's %changelog, made from the Debian changelog in data/ so that the
# project keeps one changelog. Each Debian entry
#
#   morph-viewer (1.0.0) unstable; urgency=medium
#     * A change, perhaps
#       over several lines.
#    -- Name <address>  Tue, 08 Dec 2026 12:00:00 +0000
#
# becomes
#
#   * Tue Dec 08 2026 Name <address> - 1.0.0-1
#   - A change, perhaps
#     over several lines.

# morph_rpm_changelog(DEBIAN_CHANGELOG OUTPUT): writes OUTPUT, newest entry
# first as in the input; the release number is CPACK_RPM_PACKAGE_RELEASE.
function(morph_rpm_changelog input output)
  file(STRINGS ${input} lines)
  set(result "")
  set(items "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[a-z0-9.+-]+ \\(([^)]+)\\)")
      set(version ${CMAKE_MATCH_1})
    elseif(line MATCHES "^  \\* (.*)$")
      string(APPEND items "- ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^    (.*)$")
      string(APPEND items "  ${CMAKE_MATCH_1}\n")
    elseif(line MATCHES "^ -- (.+)  ([A-Z][a-z][a-z]), ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9]+) ")
      set(who ${CMAKE_MATCH_1})
      set(weekday ${CMAKE_MATCH_2})
      set(day ${CMAKE_MATCH_3})
      set(month ${CMAKE_MATCH_4})
      set(year ${CMAKE_MATCH_5})
      if(day LESS 10)
        set(day "0${day}")
      endif()
      string(APPEND result "* ${weekday} ${month} ${day} ${year} ${who} - ${version}-${CPACK_RPM_PACKAGE_RELEASE}\n${items}\n")
      set(items "")
    endif()
  endforeach()
  if(result STREQUAL "")
    message(FATAL_ERROR "${input} holds no changelog entry")
  endif()
  string(STRIP "${result}" result)
  file(WRITE ${output} "${result}\n")
endfunction()
