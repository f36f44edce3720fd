# The Debian package, made by CPack from the install rules:
#   cpack --config BUILD_DIR/CPackConfig.cmake   (./scripts/package does this)
set(MORPH_PACKAGE_MAINTAINER "The morph-viewer authors <morph-viewer@example.org>"
    CACHE STRING "Maintainer of the Debian package, as \"Name <address>\"")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morph-viewer)
set(CPACK_PACKAGE_VENDOR "The morph-viewer authors")
set(CPACK_PACKAGE_CONTACT ${MORPH_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)

# The synopsis, and the extended description below it; CPack indents the
# lines and turns empty ones into the " ." Debian expects.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "lit 3D surface morphing between two shapes")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Morph Viewer opens one window and shows, from a fixed camera, a lit white
grid surface with black outlines that morphs smoothly back and forth between
two of six built-in parametric surfaces: a plane, two sine waves, a rippled
disc, a cylinder and a sphere, with the three coordinate axes and a caption.

The keys 1 and 2 step the two blended surfaces through the catalogue, and
Escape quits. The viewer draws with fixed-function OpenGL in immediate mode,
so a software renderer such as Mesa's llvmpipe is enough. It reads no files
and keeps no settings.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # morph-viewer_VERSION_ARCH.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # the dependencies, from the binary's shared libraries

include(CPack)
