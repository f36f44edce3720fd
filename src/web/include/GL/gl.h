// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// The OpenGL 1.x entry points and constants the viewer and the browser's GLUT
// layer use, and no more, for the browser build: src/web/gl1.cpp implements
// them on the current GL context.
#pragma once

#include <cstddef>

using GLenum = unsigned int;
using GLboolean = unsigned char;
using GLbitfield = unsigned int;
using GLint = int;
using GLsizei = int;
using GLubyte = unsigned char;
using GLuint = unsigned int;
using GLfloat = float;
using GLclampf = float;
using GLdouble = double;

#ifndef GL_COLOR_BUFFER_BIT
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_LINES 0x0001
#define GL_DEPTH_TEST 0x0B71
#endif
#define GL_LINE_LOOP 0x0002
#define GL_QUADS 0x0007
#define GL_LIGHTING 0x0B50
#define GL_LIGHT0 0x4000
#define GL_COLOR_MATERIAL 0x0B57
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_POSITION 0x1203
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701

extern "C" {
void glEnable(GLenum cap);
void glClear(GLbitfield mask);
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glBegin(GLenum mode);
void glEnd();
void glLightfv(GLenum light, GLenum pname, const GLfloat* params);
void glLineWidth(GLfloat width);
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glMultMatrixd(const GLdouble* m);
void glMultMatrixf(const GLfloat* m);
void glTranslated(GLdouble x, GLdouble y, GLdouble z);
void glRasterPos4dv(const GLdouble* v);
void glBitmap(GLsizei width, GLsizei height, GLfloat xorig, GLfloat yorig, GLfloat xmove, GLfloat ymove,
              const GLubyte* bitmap);
}
