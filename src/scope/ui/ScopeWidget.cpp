#include "scope/ui/ScopeWidget.h"

#include <QCursor>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include "platform/CodePage.h"
#include "scope/QPainterSurface.h"

namespace scopewatch {

ScopeWidget::ScopeWidget(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setAccessibleName("Radar scope");
    setMinimumSize(320, 240);
    canvas_ = QImage(size(), QImage::Format_RGB32);
    canvas_.fill(Qt::black);
}

void ScopeWidget::Draw(const std::function<void(DrawingSurface&)>& drawing) {
    {
        QPainter painter(&canvas_);
        painter.setFont(ScopeFont());
        QPainterSurface surface(painter);
        drawing(surface);
    }
    update();
}

// A new text shows at once where the pointer rests, without the platform's usual delay.
void ScopeWidget::SetTipText(const std::string& text) {
    setToolTip(FromAnsi(text));
    if (text.empty()) {
        QToolTip::hideText();
    } else if (underMouse()) {
        QToolTip::showText(QCursor::pos(), toolTip(), this);
    }
}

std::string ScopeWidget::tipText() const {
    return ToAnsi(toolTip());
}

void ScopeWidget::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawImage(0, 0, canvas_);
}

void ScopeWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (canvas_.size() != size()) {
        canvas_ = QImage(size(), QImage::Format_RGB32);
        canvas_.fill(Qt::black);
        emit resized(size());
    }
}

void ScopeWidget::mousePressEvent(QMouseEvent* event) {
    emit pointerPressed(event->button(), event->position());
}

void ScopeWidget::mouseReleaseEvent(QMouseEvent* event) {
    emit pointerReleased(event->button(), event->position());
}

void ScopeWidget::mouseMoveEvent(QMouseEvent* event) {
    emit pointerMoved(event->position());
}

void ScopeWidget::wheelEvent(QWheelEvent* event) {
    emit wheelTurned(event->angleDelta().y(), event->position());
    event->accept();
}

}  // namespace scopewatch
