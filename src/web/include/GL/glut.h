// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The GLUT entry points the viewer uses, for the browser build
// (src/web/glut.cpp): one canvas for the window, the browser's animation
// frames for the event loop.
#pragma once

#include <GL/gl.h>

#define GLUT_RGB 0
#define GLUT_DOUBLE 2
#define GLUT_DEPTH 16

// Fonts are named by address, as freeglut names them; only this one exists.
extern "C" void* const glutBitmap8By13;
#define GLUT_BITMAP_8_BY_13 (glutBitmap8By13)

extern "C" {
void glutInit(int* argc, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowSize(int width, int height);
void glutInitWindowPosition(int x, int y);
int glutCreateWindow(const char* title);
void glutDisplayFunc(void (*callback)());
void glutKeyboardFunc(void (*callback)(unsigned char key, int x, int y));
void glutIdleFunc(void (*callback)());
void glutMainLoop();
void glutPostRedisplay();
void glutSwapBuffers();
void glutBitmapCharacter(void* font, int character);
}
