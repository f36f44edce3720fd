// SPDX-FileCopyrightText: 2026 The morph-viewer authors
//
// SPDX-License-Identifier: MIT

// Start-up of the viewer: GLUT window, fixed GL state, handlers, event loop.
//
// Everything not set here keeps its GL default, and the frame depends on those
// defaults: colour material tracks ambient and diffuse of both faces, no face
// culling, one-sided lighting, GL_NORMALIZE off (the renderer supplies its own
// normals), global ambient light 0.2.
#include "app/shell.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include "app/input.h"
#include "render/scene.h"

namespace morph {
namespace {

// Perspective projection: vertical field of view in degrees, aspect ratio
// (kept at 1 whatever the window's shape, so other shapes stretch), and the
// near and far clipping distances in world units.
constexpr double kFieldOfView = 45.0;
constexpr double kAspectRatio = 1.0;
constexpr double kNearPlane = 0.01;
constexpr double kFarPlane = 1000.0;

// Rounds of event processing after which a new window is mapped and drawable.
constexpr int kMappingEventRounds = 10;

constexpr GLfloat kLineWidth = 2.0F;  // pixels, for the axes and the outlines

// Light 0 colours (RGBA) and its direction: w = 0 makes it directional, and
// since it is given under an identity modelview it stays fixed in eye space,
// shining from beyond the scene towards the viewer.
constexpr GLfloat kLightAmbient[4] = {0.3F, 0.3F, 0.3F, 1.0F};
constexpr GLfloat kLightDiffuse[4] = {0.5F, 0.5F, 0.5F, 1.0F};
constexpr GLfloat kLightPosition[4] = {0.0F, 0.0F, -10.0F, 0.0F};

}  // namespace

void openWindow(int* argc, char** argv) {
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    // After glutInit, so these win over any -geometry option GLUT took.
    glutInitWindowSize(kWindowWidth, kWindowHeight);
    glutInitWindowPosition(kWindowX, kWindowY);
    glutCreateWindow(kWindowTitle);
}

void setUpRenderingState() {
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, kAspectRatio, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);

    glClearColor(kClearColour[0], kClearColour[1], kClearColour[2], kClearColour[3]);
    glLineWidth(kLineWidth);

    glLightfv(GL_LIGHT0, GL_AMBIENT, kLightAmbient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, kLightDiffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, kLightPosition);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
}

void registerHandlers() {
    glutDisplayFunc(drawScene);
    glutKeyboardFunc(onKey);
    glutIdleFunc(onIdle);
}

void openWindowForOwnFrames(int* argc, char** argv) {
    openWindow(argc, argv);
    setUpRenderingState();
    glutDisplayFunc([] {});
    for (int i = 0; i < kMappingEventRounds; ++i) {
        glutMainLoopEvent();
    }
}

void runViewer(int argc, char** argv) {
    openWindow(&argc, argv);
    setUpRenderingState();
    registerHandlers();
    glutMainLoop();
}

}  // namespace morph
