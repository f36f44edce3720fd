# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Windows packages (cpack -G "NSIS;ZIP"): morph-viewer-VERSION-win64.exe, a
# 64-bit NSIS installer, and morph-viewer-VERSION-win64.zip, the portable
# program. Included by packaging.cmake.
#
# The installer shows the MIT licence, installs to "Program Files\Morph
# Viewer", adds the Start-menu shortcut "Morph Viewer" and an entry in the
# installed-programs list with version and publisher, and its uninstaller
# removes every file, shortcut and registry key it added. /S installs and
# uninstalls silently.
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_PACKAGE_INSTALL_DIRECTORY "Morph Viewer")
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY "Morph Viewer")
set(CPACK_PACKAGE_EXECUTABLES morph-viewer "Morph Viewer")  # the Start-menu shortcut
set(CPACK_NSIS_PACKAGE_NAME "Morph Viewer")
set(CPACK_NSIS_DISPLAY_NAME "Morph Viewer")
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_BINARY_DIR}/data/morph-viewer.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_BINARY_DIR}/data/morph-viewer.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME "bin\\\\morph-viewer.exe")  # the icon of the uninstall entry
set(CPACK_NSIS_EXECUTABLES_DIRECTORY bin)
# A 64-bit installer: the default 32-bit stub needs a 32-bit Windows layer
# (Debian's Wine without wine32 cannot run it), and only a 64-bit program may
# see the 64-bit Program Files and registry. The installer also writes the key
# "Software\VENDOR\Morph Viewer"; CPack's uninstaller deletes it but leaves
# the vendor key above it, so the uninstaller removes that too once it has
# succeeded (if nothing else is in it). The text passes through CPack's
# configuration once more, hence the doubled escapes. SetDateSave off: the
# installer stores no file dates (installed files get the time of install),
# so that the same build always gives the same installer.
set(CPACK_NSIS_DEFINES "Target amd64-unicode
SetDateSave off
Function un.onUninstSuccess
  DeleteRegKey /ifempty SHCTX \\\"Software\\\\${CPACK_PACKAGE_VENDOR}\\\"
FunctionEnd")

# With a code-signing certificate (scripts/package windows), the staged
# program is signed before it is packed.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/authenticode.cmake)
