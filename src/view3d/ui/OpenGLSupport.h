#pragma once

#include <QString>

// Whether this display can give the 3D map view an OpenGL context. Qt Data
// Visualization cannot draw without one and, on a platform without OpenGL
// (the "offscreen" platform among others), fails hard as soon as a series
// is added; so the view asks first and stays hidden when the answer is no.
struct OpenGLCheck
{
    bool ok = false;
    QString reason; // why not, for the user; empty when ok
};

OpenGLCheck CheckOpenGL();
