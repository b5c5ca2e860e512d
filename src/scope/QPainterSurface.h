#pragma once

#include <QFont>
#include <QPoint>

#include "scope/DrawingSurface.h"

class QPainter;

namespace scopewatch {

// The font of the scope's texts.
QFont ScopeFont();

// The drawing surface over an active QPainter (on a widget or a QImage): black background,
// unsmoothed pens and brushes that follow the drawing state, and the box conventions of
// the Windows device calls the layers are written against.
class QPainterSurface : public DrawingSurface {
  public:
    // The painter must stay active while the surface is used.
    explicit QPainterSurface(QPainter& painter);

    void Cls() override;
    void MoveToEx(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) override;
    void Arc(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t xStart,
             int32_t yStart, int32_t xEnd, int32_t yEnd) override;
    void TextOutA(int32_t x, int32_t y, const std::string& text) override;
    TextSize TextExtent(const std::string& text) const override;

  private:
    void UsePenAndBrush(bool filled);

    QPainter& painter_;
    QPoint current_;
};

}  // namespace scopewatch
