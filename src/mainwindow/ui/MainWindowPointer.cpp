// The main window's handling of the pointer, the wheel and the keys over the scope.

#include <QKeyEvent>

#include "mainwindow/ui/MainWindow.h"
#include "platform/CodePage.h"
#include "scope/PointerInfo.h"
#include "scope/ui/ScopeWidget.h"
#include "state/ProgramState.h"

namespace scopewatch {

void MainWindow::OnPointerPressed(Qt::MouseButton button, QPointF pixel) {
    const PointerPosition pointer = PointerAt(view_, pixel.x(), pixel.y());
    if (button == Qt::LeftButton) {
        view_.DragAnchorLat = pointer.latitude;
        view_.DragAnchorLon = pointer.longitude;
        dragging_ = true;
        leftButton_.Press(pixel.x(), pixel.y());
        Timer2.stop();
    } else if (button == Qt::RightButton) {
        CentreAndRepaint(pointer.longitude, pointer.latitude);
    }
}

// A release within a few pixels of the press is a click: on a dot it selects that aircraft,
// elsewhere it ends the selection.
void MainWindow::OnPointerReleased(Qt::MouseButton button, QPointF pixel) {
    if (button != Qt::LeftButton) {
        return;
    }
    view_.DragAnchorLat = 0.0;
    view_.DragAnchorLon = 0.0;
    dragging_ = false;
    if (leftButton_.ReleaseIsClick(pixel.x(), pixel.y())) {
        const std::string name = AircraftAt(Scene(), pixel.x(), pixel.y());
        Select(name);
        emit aircraftSelected(name);
    }
    Timer2.start();
}

void MainWindow::OnPointerMoved(QPointF pixel) {
    if (!Picture1->tipText().empty()) {
        Picture1->SetTipText("");
    }
    if (selection_.Exists()) {
        selection_ = SelectedAirspace{};
    }
    const PointerPosition pointer = PointerAt(view_, pixel.x(), pixel.y());
    ShowReadout(pointer);
    if (!dragging_ && Timer2.isActive()) {
        const HoverInfo info = HoverInfoAt(Scene(), pointer);
        if (info.selection.Exists()) {
            selection_ = info.selection;
        }
        if (!info.text.empty()) {
            Picture1->SetTipText(info.text);
        }
    }
    if (dragging_) {
        leftButton_.Move(pixel.x(), pixel.y());
        if (leftButton_.dragging()) {
            Picture1->Draw(
                [&](DrawingSurface& surface) { DrawMeasuringLine(surface, Scene(), pointer); });
        }
    }
}

void MainWindow::OnWheel(int angleDelta, QPointF pixel) {
    const int notches = wheel_.Turn(angleDelta);
    if (notches != 0 && !dragging_) {
        ZoomAboutAndRepaint(notches, pixel);
    }
}

void MainWindow::ZoomAboutAndRepaint(int notches, QPointF pixel) {
    Timer2.stop();
    bool zoomed = false;
    for (int step = 0; step < std::abs(notches); ++step) {
        zoomed = ZoomAbout(view_, notches > 0, pixel.x(), pixel.y()) || zoomed;
    }
    if (zoomed) {
        ShowZoom();
    }
    Repaint();
    Timer2.start();
}

void MainWindow::PanAndRepaint(int quartersRight, int quartersDown) {
    Timer2.stop();
    PanView(view_, quartersRight, quartersDown);
    Repaint();
    Timer2.start();
}

// A window locked by a child window shows the selection at its next repaint.
void MainWindow::Select(const std::string& name) {
    selected_ = name;
    if (view_.WidthPx > 0 && !live_.leaving() && Picture1->isEnabled()) {
        Repaint();
    }
}

// The keys no control of the window took: those of the scope (it has the focus, or a control
// that passes them on has).
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const std::optional<ScopeKeyAction> action = ScopeKeyActionFor(event->key());
    if (!action || !Picture1->isEnabled() || view_.WidthPx == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const AirportRecord& airport = state_.airport.currentAirport;
    switch (*action) {
        case ScopeKeyAction::ZoomIn:
        case ScopeKeyAction::ZoomOut:
            ZoomAndRepaint(*action == ScopeKeyAction::ZoomIn);
            break;
        case ScopeKeyAction::Left:
        case ScopeKeyAction::Right:
            PanAndRepaint(*action == ScopeKeyAction::Right ? 1 : -1, 0);
            break;
        case ScopeKeyAction::Up:
        case ScopeKeyAction::Down:
            PanAndRepaint(0, *action == ScopeKeyAction::Down ? 1 : -1);
            break;
        case ScopeKeyAction::Centre:
            CentreAndRepaint(airport.longitude, airport.latitude);
            break;
        case ScopeKeyAction::EndSelection:
            Select("");
            emit aircraftSelected("");
            break;
    }
    event->accept();
}

}  // namespace scopewatch
