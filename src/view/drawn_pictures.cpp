#include "view/drawn_pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <functional>

namespace view {

namespace {

constexpr int kSize = 32;
const QColor kInk(0x1F, 0x2A, 0x44);
const QColor kBlue(0x2B, 0x6C, 0xC4);
const QColor kGreen(0x2E, 0x9B, 0x4F);

QPixmap Draw(const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  paint(painter);
  return pixmap;
}

// A shield with a check mark.
void Shield(QPainter& p) {
  QPainterPath shield;
  shield.moveTo(16, 2);
  shield.lineTo(28, 6);
  shield.cubicTo(28, 18, 23, 26, 16, 30);
  shield.cubicTo(9, 26, 4, 18, 4, 6);
  shield.closeSubpath();
  p.setPen(QPen(kInk, 1.5));
  p.setBrush(kBlue);
  p.drawPath(shield);
  p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(10, 16), QPointF(14.5, 21), QPointF(22, 11)}));
}

// A thick arrow pointing up or down, filled with `fill`.
void Arrow(QPainter& p, bool up, const QColor& fill) {
  QPolygonF arrow({QPointF(16, 3), QPointF(29, 16), QPointF(21, 16), QPointF(21, 29),
                   QPointF(11, 29), QPointF(11, 16), QPointF(3, 16)});
  if (!up) {
    for (QPointF& point : arrow)
      point.setY(kSize - point.y());
  }
  p.setPen(QPen(kInk, 1.5, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  p.setBrush(fill);
  p.drawPolygon(arrow);
}

// A down arrow into an open tray.
void Download(QPainter& p) {
  p.save();
  p.translate(6, 0);
  p.scale(0.625, 0.72);
  Arrow(p, false, kGreen);
  p.restore();
  p.setPen(QPen(kInk, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPolyline(QPolygonF({QPointF(4, 20), QPointF(4, 28), QPointF(28, 28), QPointF(28, 20)}));
}

}  // namespace

QPixmap DrawnPicture(std::string_view name) {
  if (name == "program")
    return Draw(Shield);
  if (name == "download")
    return Draw(Download);
  if (name == "arrow-up")
    return Draw([](QPainter& p) { Arrow(p, true, kBlue); });
  if (name == "arrow-down")
    return Draw([](QPainter& p) { Arrow(p, false, kGreen); });
  return {};
}

}  // namespace view
