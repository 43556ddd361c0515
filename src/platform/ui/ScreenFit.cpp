#include "platform/ui/ScreenFit.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace ScreenFit {

namespace {

WindowLayout::Rect toRect(const QRect &r)
{
    return {r.x(), r.y(), r.width(), r.height()};
}

// Fits each window again each time it is shown: its frame is known by then,
// and a window shown again may be on another screen.
class FitOnShow : public QObject
{
public:
    explicit FitOnShow(QObject *parent) : QObject(parent) { setObjectName(Name); }
    static constexpr const char *Name = "screenFit";

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const Qt::WindowType type = widget->windowType();
        if (!widget->isWindow() || (type != Qt::Window && type != Qt::Dialog && type != Qt::Tool))
            return false;
        // After the show has been handled: a dialog centres itself on its
        // parent then, and the window manager adds the frame.
        QPointer<QWidget> window = widget;
        QMetaObject::invokeMethod(
            this, [window] { if (window) FitNow(window); }, Qt::QueuedConnection);
        return false;
    }
};

} // namespace

QRect AvailableArea(const QWidget *window)
{
    QScreen *screen = window ? window->screen() : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

WindowLayout::Frame FrameOf(const QWidget *window)
{
    if (window->isVisible()) {
        const QRect frame = window->frameGeometry();
        if (frame.size() != window->size())
            return {frame.width() - window->width(), frame.height() - window->height()};
    }
    // Not framed yet: a title bar and thin borders, the most managers draw.
    const int border = 2 * window->style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
    return {border, window->style()->pixelMetric(QStyle::PM_TitleBarHeight) + border};
}

void FitNow(QWidget *window)
{
    const QRect area = AvailableArea(window);
    if (area.isEmpty())
        return;
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    const QPoint corner = window->frameGeometry().topLeft();
    const WindowLayout::Rect placed =
        WindowLayout::PlaceWindow({corner.x(), corner.y(), window->width(), window->height()}, toRect(area),
                                  std::min(minimum.width(), area.width()), std::min(minimum.height(), area.height()),
                                  FrameOf(window));
    if (placed.width != window->width() || placed.height != window->height())
        window->resize(placed.width, placed.height);
    if (QPoint(placed.left, placed.top) != corner)
        window->move(placed.left, placed.top);
}

void SizeFor(QWidget *window, QSize preferred)
{
    const QRect area = AvailableArea(window);
    const WindowLayout::Frame frame = FrameOf(window);
    if (!area.isEmpty())
        preferred = preferred.boundedTo(QSize(area.width() - frame.width, area.height() - frame.height));
    window->resize(preferred);
}

void KeepWindowsOnScreen()
{
    QCoreApplication *app = QCoreApplication::instance();
    if (app && !app->findChild<QObject *>(QLatin1String(FitOnShow::Name), Qt::FindDirectChildrenOnly))
        app->installEventFilter(new FitOnShow(app));
}

} // namespace ScreenFit
