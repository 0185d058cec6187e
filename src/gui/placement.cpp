#include "gui/placement.h"

#include <QEvent>
#include <QObject>
#include <QSettings>
#include <QWidget>

namespace quorvane::gui {

namespace {

QRect NormalRect(const QWidget* w) {
    // normalGeometry() is empty for a window that was never maximised or
    // minimised; its geometry is then the normal rectangle.
    if (w->isMaximized() || w->isMinimized() || w->isFullScreen()) {
        const QRect r = w->normalGeometry();
        if (r.isValid()) return r;
    }
    return w->geometry();
}

class PlacementWatcher : public QObject {
public:
    PlacementWatcher(QSettings& settings, QString section, QWidget* window)
        : QObject(window), settings_(settings), section_(std::move(section)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isVisible()) SavePlacement(settings_, section_, w);
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
    window->setGeometry(left, top, width, height);
    window->raise();
    return true;
}

void TrackPlacement(QSettings& settings, const QString& section, QWidget* window) {
    RestorePlacement(settings, section, window);
    window->installEventFilter(new PlacementWatcher(settings, section, window));
}

}  // namespace quorvane::gui
