#include "view3d/ui/OpenGLSupport.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QtDataVisualization/qutils.h>

namespace {

QString notAvailable(const QString &why)
{
    return QStringLiteral("The 3D map view needs OpenGL, which is not available here: %1").arg(why);
}

} // namespace

OpenGLCheck CheckOpenGL()
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal"))
        return {false, notAvailable(QStringLiteral("the \"%1\" display platform has no OpenGL.").arg(platform))};

    QOpenGLContext context;
    context.setFormat(qDefaultSurfaceFormat(true));
    if (!context.create())
        return {false, notAvailable(QStringLiteral("no OpenGL context could be created on this display."))};
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    if (!surface.isValid() || !context.makeCurrent(&surface))
        return {false, notAvailable(QStringLiteral("the OpenGL context could not be used on this display."))};
    context.doneCurrent();
    return {true, {}};
}
