#pragma once

#include "core/pitch.h"

#include <QColor>
#include <QPen>
#include <string>

class QPainter;
class QPainterPath;

// The strokes and signs of the printed score, in staff spaces.
namespace zintaro::staff::engraving {

inline const QColor Ink(0, 0, 0);

QPen pen(double weight, const QColor& colour = Ink, Qt::PenCapStyle cap = Qt::FlatCap);
void line(QPainter& p, double x1, double y1, double x2, double y2, double weight, const QColor& colour = Ink);
void fill(QPainter& p, const QPainterPath& path);

// A sharp, flat or natural before a head centred at (x, y).
void sign(QPainter& p, Accidental accidental, double x, double y);

// The figures of one number of a meter, bold serif digits `height` high,
// centred on (x, y).
void timeFigures(QPainter& p, const std::string& figures, double x, double y, double height);

} // namespace zintaro::staff::engraving
