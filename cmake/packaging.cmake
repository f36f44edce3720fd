# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# The packages, made by CPack from the install rules: on Linux a Debian
# package and an RPM, for Windows an installer and a zip (packaging-windows.cmake):
#   cpack --config BUILD_DIR/CPackConfig.cmake [-G RPM]   (./scripts/package does this)
#
# They are reproducible: built from the same commit with the same toolchain,
# in any folder and at any time, they are the same bytes. Every date in them
# is SOURCE_DATE_EPOCH (see cmake/cpack-options.cmake.in), build paths stay
# out of the binaries (-ffile-prefix-map, set with the compile options), and
# CPack writes files in a fixed order, owned by root.
set(MORPH_PACKAGE_MAINTAINER "The morph-viewer authors <morph-viewer@example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")

set(CPACK_PACKAGE_NAME morph-viewer)
set(CPACK_PACKAGE_VENDOR "The morph-viewer authors")
set(CPACK_PACKAGE_CONTACT ${MORPH_PACKAGE_MAINTAINER})
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# The synopsis, and the extended description below it (in the Debian package
# CPack indents the lines and turns empty ones into the " ." Debian expects).
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lit 3D surface morphing between two shapes")
set(morph_description "Morph Viewer opens one window and shows, from a fixed camera, a lit white
grid surface with black outlines that morphs smoothly back and forth between
two of six built-in parametric surfaces: a plane, two sine waves, a rippled
disc, a cylinder and a sphere, with the three coordinate axes and a caption.

The keys 1 and 2 step the two blended surfaces through the catalogue, and
Escape quits. The viewer draws with fixed-function OpenGL in immediate mode,
so a software renderer such as Mesa's llvmpipe is enough. It reads no files
and keeps no settings.")

# The time every file and header in the packages carries (see
# cmake/facts.cmake), fixed when the build is configured.
morph_source_date_epoch(MORPH_SOURCE_DATE_EPOCH)
configure_file(${PROJECT_SOURCE_DIR}/cmake/cpack-options.cmake.in ${PROJECT_BINARY_DIR}/cpack-options.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/cpack-options.cmake)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/packaging-windows.cmake)
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${morph_description}")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # morph-viewer_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # the dependencies, from the binary's shared libraries

# CPack names the architecture of the machine it runs on; a cross build's
# packages name their target's: Debian's name for it and RPM's (the
# processor's). dpkg-shlibdeps then reads the target's libraries' symbol files
# (see cpack-options.cmake.in).
if(CMAKE_CROSSCOMPILING)
  set(morph_debian_architectures aarch64 arm64 x86_64 amd64)
  list(FIND morph_debian_architectures ${CMAKE_SYSTEM_PROCESSOR} morph_index)
  if(morph_index EQUAL -1)
    message(FATAL_ERROR "No Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
  math(EXPR morph_index "${morph_index} + 1")
  list(GET morph_debian_architectures ${morph_index} CPACK_DEBIAN_PACKAGE_ARCHITECTURE)
  set(CPACK_RPM_PACKAGE_ARCHITECTURE ${CMAKE_SYSTEM_PROCESSOR})
endif()

# The RPM (cpack -G RPM): morph-viewer-VERSION-1.ARCH.rpm, the same files
# under /usr. rpmbuild finds the requirements by shared-library name.
set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_LICENSE MIT)
set(CPACK_RPM_PACKAGE_GROUP "Applications/Multimedia")
set(CPACK_RPM_PACKAGE_SUMMARY "Lit 3D surface morphing between two shapes")  # RPM's are capitalised
set(CPACK_RPM_PACKAGE_DESCRIPTION "${morph_description}")
set(CPACK_RPM_PACKAGE_AUTOREQPROV yes)
set(CPACK_RPM_NO_INSTALL_PREFIX_RELOCATION ON)  # fixed at /usr, like the .deb
# Folders the system's own packages own: the RPM owns only its doc folder.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/applications /usr/share/metainfo /usr/share/icons /usr/share/icons/hicolor
    /usr/share/icons/hicolor/256x256 /usr/share/icons/hicolor/256x256/apps /usr/share/man
    /usr/share/man/man1)
# rpmbuild by default stamps the build host and time into the header and keeps
# the files' own times; these make both SOURCE_DATE_EPOCH, as Fedora does. It
# would also add /usr/lib/.build-id links, files the .deb does not have. The
# packager macro fills the Packager tag.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define _buildhost reproducible
%define use_source_date_epoch_as_buildtime 1
%define clamp_mtime_to_source_date_epoch 1
%define _build_id_links none
%define packager ${MORPH_PACKAGE_MAINTAINER}")
include(${CMAKE_CURRENT_LIST_DIR}/rpm-changelog.cmake)
morph_rpm_changelog(${PROJECT_SOURCE_DIR}/data/changelog ${PROJECT_BINARY_DIR}/rpm-changelog)
set(CPACK_RPM_CHANGELOG_FILE ${PROJECT_BINARY_DIR}/rpm-changelog)

include(CPack)
