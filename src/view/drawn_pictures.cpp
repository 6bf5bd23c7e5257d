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

// `paint` draws in the 32-pixel box, scaled into a square picture of `size` with `margin` left
// free around it.
QPixmap DrawScaled(int size, int margin, const std::function<void(QPainter&)>& paint) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.translate(margin, margin);
  painter.scale((size - 2 * margin) / double(kSize), (size - 2 * margin) / double(kSize));
  paint(painter);
  return pixmap;
}

// The splash picture: the shield on a deep blue field, with a glow behind it and the warm line
// of a hearth below.
QPixmap Splash() {
  constexpr int kWidth = 400;
  constexpr int kHeight = 240;
  QPixmap pixmap(kWidth, kHeight);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient field(0, 0, 0, kHeight);
  field.setColorAt(0, QColor(0x1B, 0x3A, 0x6B));
  field.setColorAt(1, kInk);
  p.fillRect(pixmap.rect(), field);
  QRadialGradient glow(QPointF(kWidth / 2.0, 104), 110);
  glow.setColorAt(0, QColor(0x6F, 0xA8, 0xE8, 150));
  glow.setColorAt(1, QColor(0x6F, 0xA8, 0xE8, 0));
  p.fillRect(pixmap.rect(), glow);
  p.save();
  p.translate(kWidth / 2.0 - 64, 40);
  p.scale(4, 4);
  Shield(p);
  p.restore();
  QLinearGradient hearth(60, 0, kWidth - 60, 0);
  hearth.setColorAt(0, QColor(0xE8, 0x7A, 0x2C, 0));
  hearth.setColorAt(0.5, QColor(0xF2, 0xA1, 0x3B));
  hearth.setColorAt(1, QColor(0xE8, 0x7A, 0x2C, 0));
  p.setPen(QPen(QBrush(hearth), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(60, 196), QPointF(kWidth - 60, 196));
  return pixmap;
}

}  // namespace

QPixmap DrawnPicture(std::string_view name) {
  if (name == "program")
    return Draw(Shield);
  if (name == "splash")
    return Splash();
  if (name == "about-logo")
    return DrawScaled(64, 8, Shield);
  if (name == "download")
    return Draw(Download);
  if (name == "arrow-up")
    return Draw([](QPainter& p) { Arrow(p, true, kBlue); });
  if (name == "arrow-down")
    return Draw([](QPainter& p) { Arrow(p, false, kGreen); });
  return {};
}

}  // namespace view
