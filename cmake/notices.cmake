# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The notices of an artefact that bundles third-party code: the Windows
# program (freeglut, MinGW-w64's runtime and winpthreads, GCC's libstdc++ and
# libgcc, all linked in) and the browser build's site folder (freeglut's
# glyphs, Emscripten's runtime with musl, libc++, libc++abi, compiler-rt and
# dlmalloc). The build finds each component's version and its copyright file
# on this machine (the Debian package that ships what is linked, freeglut's
# own source) and writes two files: components.json, which also feeds the
# release's SBOM, and the notices text, made from it by tools/notices.py. The
# .deb and the .rpm link everything dynamically and ship the project's own
# copyright file only.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

# The Debian package that ships FILE, and its version, into PACKAGE_VAR and VERSION_VAR.
function(morph_debian_package file package_var version_var)
  execute_process(COMMAND dpkg-query -S ${file} OUTPUT_VARIABLE owner RESULT_VARIABLE status
                  OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "No Debian package ships ${file}")
  endif()
  string(REGEX REPLACE ":.*$" "" package "${owner}")
  string(REGEX REPLACE ":.*$" "" package "${package}")  # an architecture qualifier
  execute_process(COMMAND dpkg-query -W -f=\${Version} ${package} OUTPUT_VARIABLE version
                  OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(${package_var} ${package} PARENT_SCOPE)
  set(${version_var} ${version} PARENT_SCOPE)
endfunction()

# morph_component(LIST_VAR NAME n VERSION v LICENCE spdx DESCRIPTION d
#                 ORIGIN o [PURL p] [SUPPLIER s] TEXT label path take [files...] [TEXT ...])
# Appends one component to LIST_VAR, as the arguments tools/notices.py takes.
# TAKE: all, leading-comment, or dep5 followed by the Files patterns to take
# and END.
function(morph_component list)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "NAME;VERSION;LICENCE;DESCRIPTION;ORIGIN;PURL;SUPPLIER" "TEXT")
  set(described --component)
  foreach(key NAME VERSION LICENCE DESCRIPTION ORIGIN PURL SUPPLIER)
    if(DEFINED arg_${key})
      string(TOLOWER ${key} field)
      list(APPEND described "${field}=${arg_${key}}")
    endif()
  endforeach()
  list(APPEND described --texts ${arg_TEXT})
  set(${list} ${${list}} ${described} PARENT_SCOPE)
endfunction()

# morph_notices(TARGET OUTPUT ARTEFACT COMPONENTS...): writes
# ${PROJECT_BINARY_DIR}/notices/components.json at configure time and OUTPUT
# (the notices text) at build time, in the target TARGET (built by default).
function(morph_notices target output artefact)
  set(description ${PROJECT_BINARY_DIR}/notices/components.json)
  file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/notices)
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/notices.py describe ${description}
                          "Morph Viewer" ${PROJECT_VERSION} MIT ${PROJECT_SOURCE_DIR}/LICENSE "${artefact}" ${ARGN}
                  OUTPUT_VARIABLE texts RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "tools/notices.py could not describe ${artefact}")
  endif()
  # The texts' own files, so that a new version of a component is noticed.
  string(REPLACE "\n" ";" inputs "${texts}")
  add_custom_command(OUTPUT ${output}
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/notices.py ${description} ${output}
    DEPENDS ${description} ${PROJECT_SOURCE_DIR}/LICENSE ${inputs} ${PROJECT_SOURCE_DIR}/tools/notices.py
    COMMENT "Writing the notices of ${artefact}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${output})
endfunction()

# freeglut's version and Debian revision, from its source package.
function(morph_freeglut_version source version_var debian_var)
  execute_process(COMMAND dpkg-parsechangelog -l ${source}/debian/changelog -S Version
                  OUTPUT_VARIABLE debian OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "No freeglut source package at ${source}")
  endif()
  string(REGEX REPLACE "-[^-]*$" "" version "${debian}")
  set(${version_var} ${version} PARENT_SCOPE)
  set(${debian_var} ${debian} PARENT_SCOPE)
endfunction()

# The Windows program's notices: freeglut, MinGW-w64's runtime and
# winpthreads, GCC's libstdc++ and libgcc, as the static .exe links them.
function(morph_windows_notices target output freeglut_source)
  morph_freeglut_version(${freeglut_source} fg_version fg_debian)
  set(components)
  morph_component(components NAME freeglut VERSION ${fg_version} LICENCE X11 SUPPLIER "The freeglut project"
    DESCRIPTION "the GLUT library: window, event loop, keyboard and bitmap font"
    ORIGIN "Debian's freeglut source package ${fg_debian}, built for Windows by scripts/build"
    PURL "pkg:deb/debian/freeglut@${fg_debian}?arch=source"
    TEXT "freeglut-${fg_version}/COPYING" ${freeglut_source}/COPYING all)
  # What the compiler links, and the packages that ship it.
  foreach(library libmingwex.a libstdc++.a libgcc.a)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${library} OUTPUT_VARIABLE path
                    OUTPUT_STRIP_TRAILING_WHITESPACE)
    get_filename_component(path ${path} REALPATH)
    morph_debian_package(${path} package_${library} version_${library})
  endforeach()
  set(mingw ${package_libmingwex.a})
  string(REGEX REPLACE "-[^-]*$" "" mingw_version "${version_libmingwex.a}")
  morph_component(components NAME "MinGW-w64 runtime" VERSION ${mingw_version}
    LICENCE "ZPL-2.1 AND LicenseRef-public-domain" SUPPLIER "The mingw-w64 project"
    DESCRIPTION "the C runtime start-up and support code of a Windows program"
    ORIGIN "Debian's package ${mingw} ${version_libmingwex.a}"
    PURL "pkg:deb/debian/${mingw}@${version_libmingwex.a}?arch=all"
    TEXT "/usr/share/doc/${mingw}/copyright" /usr/share/doc/${mingw}/copyright dep5 * mingw-w64-crt/ END)
  morph_component(components NAME "MinGW-w64 winpthreads" VERSION ${mingw_version}
    LICENCE "MIT AND BSD-3-Clause" SUPPLIER "The mingw-w64 project"
    DESCRIPTION "the POSIX threads library GCC's runtime uses on Windows"
    ORIGIN "Debian's package ${mingw} ${version_libmingwex.a}"
    PURL "pkg:deb/debian/${mingw}@${version_libmingwex.a}?arch=all"
    TEXT "/usr/share/doc/${mingw}/copyright" /usr/share/doc/${mingw}/copyright dep5
      mingw-w64-libraries/winpthreads/ END)
  foreach(library libstdc++.a libgcc.a)
    set(package ${package_${library}})
    string(REGEX REPLACE "-[^-]*$" "" gcc_version "${version_${library}}")
    string(REGEX REPLACE "\\+.*$" "" gcc_version "${gcc_version}")
    if(library STREQUAL "libstdc++.a")
      set(name "GCC libstdc++")
      set(what "the C++ standard library")
    else()
      set(name "GCC libgcc")
      set(what "the compiler's support routines")
    endif()
    morph_component(components NAME "${name}" VERSION ${gcc_version}
      LICENCE "GPL-3.0-or-later WITH GCC-exception-3.1" SUPPLIER "The GNU Compiler Collection"
      DESCRIPTION "${what}, under the GCC Runtime Library Exception"
      ORIGIN "Debian's package ${package} ${version_${library}}"
      PURL "pkg:deb/debian/${package}@${version_${library}}?arch=amd64"
      TEXT "/usr/share/doc/${package}/copyright" /usr/share/doc/${package}/copyright all)
  endforeach()
  morph_notices(${target} ${output} "the Windows program" ${components})
endfunction()

# The site folder's notices: freeglut's 8 x 13 glyphs, and what Emscripten
# links into the script and the WebAssembly module.
function(morph_web_notices target output freeglut_source)
  morph_freeglut_version(${freeglut_source} fg_version fg_debian)
  set(components)
  morph_component(components NAME "freeglut 8 x 13 font" VERSION ${fg_version} LICENCE X11
    SUPPLIER "The freeglut project"
    DESCRIPTION "the glyphs of GLUT_BITMAP_8_BY_13, from the X11 fixed font"
    ORIGIN "Debian's freeglut source package ${fg_debian}, src/fg_font_data.c"
    PURL "pkg:deb/debian/freeglut@${fg_debian}?arch=source"
    TEXT "freeglut-${fg_version}/COPYING" ${freeglut_source}/COPYING all
    TEXT "freeglut-${fg_version}/src/fg_font_data.c" ${freeglut_source}/src/fg_font_data.c leading-comment)
  set(root ${EMSCRIPTEN_ROOT_PATH})
  morph_debian_package(${root}/emscripten-version.txt package debian)
  file(READ ${root}/emscripten-version.txt em_version)
  string(REGEX REPLACE "[\"\n ]" "" em_version "${em_version}")
  file(READ ${root}/system/lib/libc/musl/VERSION musl_version)
  string(STRIP "${musl_version}" musl_version)
  file(STRINGS ${root}/system/lib/libcxx/include/__config llvm REGEX "define _LIBCPP_VERSION [0-9]+")
  string(REGEX REPLACE ".* ([0-9]+).*" "\\1" llvm "${llvm}")  # major * 1000 + minor * 100 + patch
  math(EXPR llvm_major "${llvm} / 1000")
  math(EXPR llvm_minor "${llvm} % 1000 / 100")
  math(EXPR llvm_patch "${llvm} % 100")
  set(llvm_version ${llvm_major}.${llvm_minor}.${llvm_patch})
  file(STRINGS ${root}/system/lib/dlmalloc.c dlmalloc REGEX "Version [0-9.]+ ")
  string(REGEX REPLACE ".*Version ([0-9.]+) .*" "\\1" dlmalloc_version "${dlmalloc}")
  set(copyright /usr/share/doc/${package}/copyright)
  set(origin "Debian's package ${package} ${debian}")
  set(purl "pkg:deb/debian/${package}@${debian}?arch=all")
  morph_component(components NAME Emscripten VERSION ${em_version} LICENCE "MIT OR NCSA"
    SUPPLIER "The Emscripten authors" DESCRIPTION "the runtime: the loader script and its system libraries"
    ORIGIN "${origin}" PURL "${purl}" TEXT "${copyright}" ${copyright} dep5 * END)
  morph_component(components NAME musl VERSION ${musl_version} LICENCE MIT SUPPLIER "The musl authors"
    DESCRIPTION "the C library, as Emscripten builds it" ORIGIN "${origin}, system/lib/libc/musl"
    PURL "${purl}" TEXT "${copyright}" ${copyright} dep5 system/lib/libc/musl/ END)
  foreach(part libcxx libcxxabi compiler-rt)
    set(names_libcxx "LLVM libc++")
    set(names_libcxxabi "LLVM libc++abi")
    set(names_compiler-rt "LLVM compiler-rt")
    set(what_libcxx "the C++ standard library")
    set(what_libcxxabi "the C++ ABI library")
    set(what_compiler-rt "the compiler's support routines")
    morph_component(components NAME "${names_${part}}" VERSION ${llvm_version}
      LICENCE "Apache-2.0 WITH LLVM-exception" SUPPLIER "The LLVM project" DESCRIPTION "${what_${part}}"
      ORIGIN "${origin}, system/lib/${part}" PURL "${purl}" TEXT "${copyright}" ${copyright} dep5 system/lib/${part}/ END)
  endforeach()
  morph_component(components NAME dlmalloc VERSION ${dlmalloc_version} LICENCE CC0-1.0 SUPPLIER "Doug Lea"
    DESCRIPTION "the memory allocator" ORIGIN "${origin}, system/lib/dlmalloc.c" PURL "${purl}"
    TEXT "${copyright}" ${copyright} dep5 system/lib/dlmalloc.c END)
  morph_notices(${target} ${output} "the browser build's site folder" ${components})
endfunction()
