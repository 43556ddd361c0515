// The main window's geometry: the client area with the tree, the panel
// containers, the splitter and the real-time strip; the layout rules of
// WindowLayout applied in the screen's twips; the window's place at start-up.

#include "shell/frmMain.h"

#include "model/ProgramState.h"
#include "platform/WindowLayout.h"
#include "platform/ui/ScreenFit.h"
#include "platform/ui/ScreenUnits.h"
#include "shell/WelcomePanel.h"
#include "shell/WindowSettings.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

void frmMain::createClientArea()
{
    m_client = new QWidget;
    m_client->setObjectName("client");
    setCentralWidget(m_client);
    // Docks beside the panels (the 3D map view) narrow the client area
    // without resizing the window: lay the panels out again then too.
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks);
    m_client->installEventFilter(this);

    m_tree = new QTreeWidget(m_client);
    m_tree->setObjectName("tvTreeView");
    m_tree->setHeaderHidden(true);
    m_tree->setVisible(false);
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { nodeClicked(item); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        // Keyboard moves in the tree select like clicks do.
        if (item && m_tree->isVisibleTo(this) && item->data(0, Qt::UserRole).toInt() != m_currentNodePanel)
            nodeClicked(item);
    });

    m_imgSplitter = new QWidget(m_client);
    m_imgSplitter->setObjectName("imgSplitter");
    m_imgSplitter->setCursor(Qt::SizeHorCursor);
    m_imgSplitter->installEventFilter(this);

    m_picSplitter = new QWidget(m_client);
    m_picSplitter->setObjectName("picSplitter");
    m_picSplitter->setAutoFillBackground(true);
    QPalette bar = m_picSplitter->palette();
    bar.setColor(QPalette::Window, QColor(128, 128, 128));
    m_picSplitter->setPalette(bar);
    m_picSplitter->setVisible(false);

    // One container per panel index; indexes 7..12 share the grid's.
    QWidget *grid = nullptr;
    for (const NavigationNode &node : NavigationNodes()) {
        QWidget *container = nullptr;
        if (IsMapPanel(node.panel) && grid) {
            container = grid;
        } else {
            container = new QWidget(m_client);
            container->setObjectName(QLatin1String(node.container));
            new QVBoxLayout(container);
            container->layout()->setContentsMargins(0, 0, 0, 0);
            container->setVisible(false);
            if (IsMapPanel(node.panel))
                grid = container;
        }
        m_containers[node.panel] = container;
    }
    auto *none = new QLabel("No properties.");
    none->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_containers[1]->layout()->addWidget(none);

    m_welcome = new WelcomePanel(m_client);

    m_picRealTime = new QWidget(m_client);
    m_picRealTime->setObjectName("picRealTime");
    new QVBoxLayout(m_picRealTime);
    m_picRealTime->installEventFilter(this);
    m_picRealTime->setVisible(false);
}

int frmMain::ToPixels(double twips) const
{
    return ScreenUnits::TwipsToPixelsX(twips, this);
}

double frmMain::ToTwips(int pixels) const
{
    return ScreenUnits::PixelsToTwipsX(pixels, this);
}

int frmMain::ToPixelsY(double twips) const
{
    return ScreenUnits::TwipsToPixelsY(twips, this);
}

double frmMain::ToTwipsY(int pixels) const
{
    return ScreenUnits::PixelsToTwipsY(pixels, this);
}

void frmMain::placeFromPrefs()
{
    const WindowLayout::Rect stored{ToPixels(m_prefs.WndLeftPos()), ToPixelsY(m_prefs.WndTopPos()),
                                    ToPixels(m_prefs.WndWidth()), ToPixelsY(m_prefs.WndHeight())};
    const QRect wanted(stored.left, stored.top, std::max(1, stored.width), std::max(1, stored.height));
    QScreen *screen = QGuiApplication::screenAt(wanted.center());
    if (!screen)
        screen = QGuiApplication::screenAt(wanted.topLeft());
    if (!screen || !m_prefs.HasStoredPlace())
        screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(minimumSizeHint());
        return;
    }
    const QRect available = screen->availableGeometry();
    const WindowLayout::Rect area{available.x(), available.y(), available.width(), available.height()};
    const int minimumHeight = minimumSizeHint().height();
    const WindowLayout::Rect placed =
        m_prefs.HasStoredPlace()
            ? WindowLayout::PlaceWindow(stored, area, minimumWidth(), minimumHeight, ScreenFit::FrameOf(this))
            : WindowLayout::FirstPlace(area, minimumWidth(), minimumHeight, ScreenFit::FrameOf(this));
    move(placed.left, placed.top);
    resize(placed.width, placed.height);
}

void frmMain::SizeControls(double x)
{
    m_splitterLeft = x;
    WindowLayout::Input in;
    in.splitterX = x;
    in.windowWidth = static_cast<int>(ToTwips(m_client->width()));
    in.clientTop = 0;
    in.clientBottom = static_cast<int>(ToTwipsY(m_client->height()));
    in.realTime = m_stripShown;
    in.vqSelected = m_currentNodePanel == VQPanel;
    in.stripHeight = static_cast<int>(ToTwipsY(m_picRealTime->sizeHint().height()));
    in.stripHeightForWidth = [this](int widthTwips) {
        const int width = ToPixels(widthTwips);
        const int height = m_picRealTime->hasHeightForWidth() ? m_picRealTime->heightForWidth(width)
                                                              : m_picRealTime->sizeHint().height();
        return static_cast<int>(ToTwipsY(height));
    };
    const WindowLayout::Result r = WindowLayout::Compute(in);
    m_prefs.SetSplitterX(r.storedSplitterX);

    auto place = [this](QWidget *w, const WindowLayout::Rect &rt) {
        w->setGeometry(ToPixels(rt.left), ToPixelsY(rt.top), ToPixels(rt.width), ToPixelsY(rt.height));
    };
    place(m_tree, r.tree);
    m_imgSplitter->setGeometry(ToPixels(r.splitterLeft), ToPixelsY(r.tree.top),
                               std::max(3, ToPixels(WindowLayout::PanelGap)), ToPixelsY(r.tree.height));
    for (QWidget *container : m_containers)
        if (container)
            place(container, r.panel);
    m_picRealTime->setVisible(r.stripVisible);
    if (r.stripVisible)
        place(m_picRealTime, r.strip);
    m_welcome->setVisible(!TuneShown());
    m_welcome->setGeometry(0, 0, m_client->width(), r.stripVisible ? ToPixelsY(r.strip.top) : m_client->height());
}

void frmMain::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    const int minimum = ToPixels(WindowLayout::MinimumWindowWidth);
    if (width() < minimum)
        resize(minimum, height());
    Relayout();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize && isVisible())
        Relayout();
    // The live strip needs another height (its labels wrap differently).
    if (watched == m_picRealTime && event->type() == QEvent::LayoutRequest && isVisible())
        Relayout();
    if (watched != m_imgSplitter)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_picSplitter->setGeometry(m_imgSplitter->geometry());
        m_picSplitter->setVisible(true);
        m_picSplitter->raise();
        m_splitterMoving = true;
        return true;
    case QEvent::MouseMove:
        if (m_splitterMoving) {
            const auto *me = static_cast<QMouseEvent *>(event);
            const int proposed = static_cast<int>(m_splitterLeft + ToTwips(static_cast<int>(me->position().x())));
            const int left = WindowLayout::ClampSplitter(proposed, static_cast<int>(ToTwips(m_client->width())));
            m_picSplitter->move(ToPixels(left), m_picSplitter->y());
        }
        return true;
    case QEvent::MouseButtonRelease:
        if (m_splitterMoving) {
            m_splitterMoving = false;
            SizeControls(ToTwips(m_picSplitter->x()));
            m_picSplitter->setVisible(false);
        }
        return true;
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}
