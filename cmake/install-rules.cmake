# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# What `cmake --install` puts where: the viewer and the files a desktop
# program ships with it. Paths follow GNUInstallDirs, relative to the prefix
# (/usr/local by default, /usr in the Debian package).
include(GNUInstallDirs)

if(WIN32)
  # Windows: the program, its licence, the notices of what it bundles. Desktop entries, metainfo,
  # icons and manual pages have no place there; the icon is in the .exe.
  install(TARGETS morph-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  # The notices of what the .exe links in (freeglut, MinGW-w64's runtime and
  # winpthreads, GCC's runtime libraries), beside it.
  include(${CMAKE_CURRENT_LIST_DIR}/notices.cmake)
  morph_windows_notices(morph_notices ${PROJECT_BINARY_DIR}/notices/NOTICES.txt ${MORPH_FREEGLUT_SOURCE_DIR})
  install(FILES ${PROJECT_BINARY_DIR}/notices/NOTICES.txt DESTINATION ${CMAKE_INSTALL_BINDIR})
  return()
endif()

set(MORPH_APP_ID org.example.MorphViewer)  # AppStream component and desktop entry
set(morph_data ${PROJECT_SOURCE_DIR}/data)

# Debian policy, and man-db's lookup, want manual pages and changelogs gzipped;
# -9 for the smallest file, -n for none of gzip's timestamp or name, so that
# the package's bytes depend only on its sources.
set(morph_compressed)
foreach(file morph-viewer.1 changelog)
  set(compressed ${PROJECT_BINARY_DIR}/data/${file}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/data
    COMMAND sh -c "gzip -9n -c \"$1\" >\"$2\"" gzip ${morph_data}/${file} ${compressed}
    DEPENDS ${morph_data}/${file}
    COMMENT "Compressing ${file}"
    VERBATIM)
  list(APPEND morph_compressed ${compressed})
endforeach()
add_custom_target(morph_compressed_data ALL DEPENDS ${morph_compressed})

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

# The desktop entry and the metainfo with every language of data/po merged
# in (Name[de]=..., <summary xml:lang="de">...), by gettext's msgfmt as GNOME
# and KDE programs do.
find_package(Gettext REQUIRED)
file(STRINGS ${morph_data}/po/LINGUAS morph_languages)
list(TRANSFORM morph_languages PREPEND ${morph_data}/po/ OUTPUT_VARIABLE morph_catalogs)
list(TRANSFORM morph_catalogs APPEND .po)
set(morph_merged)
foreach(kind IN ITEMS desktop xml)
  set(file ${MORPH_APP_ID}.desktop)
  if(kind STREQUAL xml)
    set(file ${MORPH_APP_ID}.metainfo.xml)
  endif()
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/data/${file}
    COMMAND ${GETTEXT_MSGFMT_EXECUTABLE} --${kind} --template=${morph_data}/${file} -d ${morph_data}/po
            -o ${PROJECT_BINARY_DIR}/data/${file}
    DEPENDS ${morph_data}/${file} ${morph_data}/po/LINGUAS ${morph_catalogs}
    COMMENT "Merging the translations into ${file}"
    VERBATIM)
  list(APPEND morph_merged ${PROJECT_BINARY_DIR}/data/${file})
endforeach()
add_custom_target(morph_translated_data ALL DEPENDS ${morph_merged})

install(TARGETS morph-viewer RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_BINARY_DIR}/data/${MORPH_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/data/${MORPH_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${morph_data}/icons/256x256/morph-viewer.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/256x256/apps)
install(FILES ${PROJECT_BINARY_DIR}/data/morph-viewer.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${morph_data}/copyright ${PROJECT_BINARY_DIR}/data/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
