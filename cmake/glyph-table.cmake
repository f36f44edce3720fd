# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The browser build's 8 x 13 bitmap font: freeglut's GLUT_BITMAP_8_BY_13, the
# same bits, read from freeglut's own source (src/fg_font_data.c of Debian's
# freeglut source package, fetched by scripts/build web) when the build is
# configured. freeglut's font data is under the XFree86 (MIT) licence, as that
# file says; the generated header repeats where it came from.

# morph_glyph_table(FREEGLUT_SOURCE_DIR OUTPUT_HEADER)
function(morph_glyph_table source output)
  set(input ${source}/src/fg_font_data.c)
  if(NOT EXISTS ${input})
    message(FATAL_ERROR "No freeglut source at ${source} (scripts/build web fetches it)")
  endif()
  file(STRINGS ${input} lines REGEX "Fixed8x13_Character_[0-9]+\\[\\] = |SFG_Font fgFontFixed8x13 = |Fixed8x13_Character_Map\\[\\]|^ +Fixed8x13_Character_")
  set(count 0)
  set(map "")
  set(widest 0)
  foreach(line IN LISTS lines)
    if(line MATCHES "Fixed8x13_Character_([0-9]+)\\[\\] = {([0-9, ]+)}")
      math(EXPR index "${CMAKE_MATCH_1}")
      string(REGEX REPLACE " +" "" bytes "${CMAKE_MATCH_2}")
      string(REPLACE "," ";" bytes "${bytes}")
      set(glyph_${index} ${bytes})
      list(LENGTH bytes length)
      if(length GREATER widest)
        set(widest ${length})
      endif()
      math(EXPR count "${count} + 1")
    elseif(line MATCHES "SFG_Font fgFontFixed8x13 = { \"[^\"]*\", ([0-9]+), ([0-9]+), Fixed8x13_Character_Map, ([0-9]+), ([0-9]+) }")
      set(quantity ${CMAKE_MATCH_1})
      set(height ${CMAKE_MATCH_2})
      set(xorigin ${CMAKE_MATCH_3})
      set(yorigin ${CMAKE_MATCH_4})
    else()
      # A line of the character map: which glyph each character shows.
      string(REGEX MATCHALL "Fixed8x13_Character_[0-9]+[,}]" names "${line}")
      foreach(name IN LISTS names)
        string(REGEX REPLACE "^Fixed8x13_Character_([0-9]+).$" "\\1" number "${name}")
        math(EXPR number "${number}")
        list(APPEND map ${number})
      endforeach()
    endif()
  endforeach()
  list(LENGTH map mapped)
  if(NOT mapped EQUAL 256 OR NOT quantity EQUAL 256 OR NOT DEFINED height OR count LESS 95)
    message(FATAL_ERROR "${input}: no complete Fixed8x13 font (${count} glyphs, ${mapped} characters mapped)")
  endif()
  # Each character's glyph, padded with zeros to the longest (a glyph of 9
  # columns takes two bytes a row).
  set(rows "")
  foreach(character RANGE 255)
    list(GET map ${character} index)
    if(NOT DEFINED glyph_${index})
      message(FATAL_ERROR "${input}: character ${character} maps to the missing glyph ${index}")
    endif()
    set(bytes ${glyph_${index}})
    list(LENGTH bytes length)
    list(GET bytes 0 width)
    math(EXPR expected "1 + ${height} * ((${width} + 7) / 8)")
    if(NOT length EQUAL expected)
      message(FATAL_ERROR "${input}: glyph ${index} has ${length} bytes, not ${expected}")
    endif()
    string(REPLACE ";" ", " text "${bytes}")
    string(APPEND rows "    {${text}},  // ${character}\n")
  endforeach()
  set(columns ${widest})
  file(WRITE ${output}.new "// Generated when the build was configured, by cmake/glyph-table.cmake, from
// ${input}: freeglut's GLUT_BITMAP_8_BY_13
// (the X11 font -misc-fixed-medium-r-normal--13-120-75-75-C-80-iso8859-1).
// Licence: XFree86 (MIT), as freeglut's font data.
#pragma once

namespace morph::web {

constexpr int kGlyphHeight = ${height};        // rows, the bottom one first
constexpr float kGlyphXOrigin = ${xorigin}.0F;  // pixels left of the raster position
constexpr float kGlyphYOrigin = ${yorigin}.0F;  // pixels below it (the descent)

// For each character: its width in pixels (also the pen's advance), then
// ${height} rows of (width + 7) / 8 bytes, most significant bit leftmost.
inline constexpr unsigned char kGlyphs8x13[256][${columns}] = {
${rows}};

}  // namespace morph::web
")
  file(COPY_FILE ${output}.new ${output} ONLY_IF_DIFFERENT)
  file(REMOVE ${output}.new)
endfunction()
