#include "gui/placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>
#include <QScreen>
#include <QSettings>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace quorvane::gui {

namespace {

// No window is restored smaller than this, whatever its own minimum: its
// title bar and its menu or first buttons stay within reach.
constexpr QSize kSmallestWindow(160, 100);

QRect NormalRect(const QWidget* w) {
    // normalGeometry() is empty for a window that was never maximised or
    // minimised; its geometry is then the normal rectangle.
    if (w->isMaximized() || w->isMinimized() || w->isFullScreen()) {
        const QRect r = w->normalGeometry();
        if (r.isValid()) return r;
    }
    return w->geometry();
}

// The screen on which a corner of the title bar above the client rectangle
// `r` lies, or nullptr when none does.
QScreen* TitleBarScreen(const QWidget* w, const QRect& r) {
    const int height = std::max(1, w->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, w));
    const QRect bar(r.left(), r.top() - height, r.width(), height);
    for (const QPoint& corner : {bar.topLeft(), bar.topRight(), bar.bottomLeft(), bar.bottomRight()})
        if (QScreen* screen = QGuiApplication::screenAt(corner)) return screen;
    return nullptr;
}

bool IsUsable(const QWidget* w, const QRect& r) {
    const QScreen* screen = TitleBarScreen(w, r);
    if (!screen) return false;
    const QSize smallest = w->minimumSize().expandedTo(w->minimumSizeHint()).expandedTo(kSmallestWindow);
    const QSize largest = screen->availableGeometry().size();
    return r.width() >= smallest.width() && r.height() >= smallest.height() && r.width() <= largest.width() &&
           r.height() <= largest.height();
}

// The size the window was created with (or would take when first shown),
// centred on the primary screen.
void PlaceAtDefault(QWidget* w) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize size = (w->testAttribute(Qt::WA_Resized) ? w->size() : w->sizeHint().expandedTo(w->minimumSize()))
                           .boundedTo(area.size());
    w->setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, area));
}

class PlacementWatcher : public QObject {
public:
    PlacementWatcher(QSettings& settings, QString section, QWidget* window)
        : QObject(window), settings_(settings), section_(std::move(section)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::Move || type == QEvent::Resize || type == QEvent::Hide) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isVisible() || type == QEvent::Hide) SavePlacement(settings_, section_, w);
        }
        return false;
    }

private:
    QSettings& settings_;
    QString section_;
};

}  // namespace

void SavePlacement(QSettings& settings, const QString& section, const QWidget* window) {
    const QRect r = NormalRect(window);
    settings.beginGroup(section);
    settings.setValue("VertPos", r.top());
    settings.setValue("HorizPos", r.left());
    settings.setValue("Height", r.height());
    settings.setValue("Width", r.width());
    settings.endGroup();
}

bool RestorePlacement(QSettings& settings, const QString& section, QWidget* window) {
    settings.beginGroup(section);
    const int top = settings.value("VertPos", kPlacementDefault).toInt();
    const int left = settings.value("HorizPos", kPlacementDefault).toInt();
    const int width = settings.value("Width", kPlacementDefault).toInt();
    const int height = settings.value("Height", kPlacementDefault).toInt();
    settings.endGroup();
    if (top == kPlacementDefault || left == kPlacementDefault || width == kPlacementDefault ||
        height == kPlacementDefault)
        return false;
    const QRect stored(left, top, width, height);
    if (!IsUsable(window, stored)) {
        PlaceAtDefault(window);
        return false;
    }
    window->setGeometry(stored);
    window->raise();
    return true;
}

void TrackPlacement(QSettings& settings, const QString& section, QWidget* window) {
    RestorePlacement(settings, section, window);
    window->installEventFilter(new PlacementWatcher(settings, section, window));
}

void PlaceBeside(QWidget* window, const QWidget* origin, int cascade) {
    if (!origin) return;
    const QScreen* screen = origin->screen() ? origin->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    // A window never sized yet opens as large as it asks to be, up to the
    // screen (not only two thirds of it, as the window system would have it).
    if (!window->testAttribute(Qt::WA_Resized))
        window->resize(window->sizeHint().expandedTo(window->minimumSizeHint()).boundedTo(area.size()));
    const QRect from = origin->frameGeometry();
    // The window's frame: as wide around its client area as the origin's.
    const QSize frame = window->size() + (from.size() - origin->size());
    const int step = std::max(24, from.height() - origin->height());  // about a title bar
    const int gap = 8;
    const int down = (cascade % 8) * step;
    const auto fits = [&](const QPoint& at) { return area.contains(QRect(at, frame)); };

    QPoint at(from.right() + 1 + gap, from.top() + down);
    if (!fits(at)) at = QPoint(from.left() - gap - frame.width(), from.top() + down);
    if (!fits(at)) {
        at = QPoint(from.left() + step * (cascade % 8 + 1), from.top() + step * (cascade % 8 + 1));
        // Kept on the screen, and still never at the origin's own corner.
        at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - frame.width())));
        at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - frame.height())));
    }
    window->move(at);
}

void BringToFront(QWidget* window) {
    if (window->isMinimized())
        window->showNormal();
    else
        window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace quorvane::gui
