#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "scope/DrawingSurface.h"

namespace scopewatch {

// The scope's picture box: a black canvas that keeps what was drawn on it until it is
// cleared, as a device context does, and reports the pointer and the wheel in pixels. It takes
// the keyboard's focus when clicked or tabbed to; the keys it does not use go to its window.
// Drawing happens through a drawing surface over the canvas; the widget shows the canvas as it
// stands.
class ScopeWidget : public QWidget {
    Q_OBJECT
  public:
    explicit ScopeWidget(QWidget* parent = nullptr);

    // Runs the drawing on the canvas, then shows the result.
    void Draw(const std::function<void(DrawingSurface&)>& drawing);
    const QImage& canvas() const { return canvas_; }

    // The tooltip text (Windows-1252); an empty text hides the tooltip.
    void SetTipText(const std::string& text);
    std::string tipText() const;

  signals:
    void pointerPressed(Qt::MouseButton button, QPointF pixel);
    void pointerReleased(Qt::MouseButton button, QPointF pixel);
    void pointerMoved(QPointF pixel);
    // The wheel turned over the scope, in eighths of a degree (positive away from the user).
    void wheelTurned(int angleDelta, QPointF pixel);
    // The canvas took the widget's new size (it is black until the next repaint).
    void resized(QSize size);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    QImage canvas_;
};

}  // namespace scopewatch
