// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Entry point of morph-viewer: hands the command line to the application shell.
#include "app/shell.h"

int main(int argc, char** argv) {
    morph::runViewer(argc, argv);
    return 0;
}
