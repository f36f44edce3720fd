# SPDX-FileCopyrightText: 2026 The morph-viewer authors
#
# SPDX-License-Identifier: MIT

# Cross build for 64-bit ARM Linux (Debian's arm64) with Debian's
# g++-aarch64-linux-gnu. The C and C++ runtime come from the cross packages in
# /usr/aarch64-linux-gnu; freeglut, GLU, GL and X from Debian's own arm64
# packages, installed beside the host's through multiarch
# (dpkg --add-architecture arm64) in /usr/lib/aarch64-linux-gnu, with the
# headers they share with the host's in /usr/include. The programs run here
# under qemu-user, with those arm64 libraries and their loader.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)  # for what a dependency builds in C
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

# Libraries are looked for only in the target's folders: the cross runtime's,
# and the multiarch folders of the root (lib/aarch64-linux-gnu).
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The target's pkg-config files, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/aarch64-linux-gnu/pkgconfig:/usr/share/pkgconfig)

# ctest (and GoogleTest's test discovery) runs the programs under qemu-user
# through this (with Debian's arm64 loader and libraries).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../../scripts/lib/arm64-run)
