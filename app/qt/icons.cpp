#include "app/qt/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

namespace {

QPixmap Canvas(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// An arrow pointing right from a page (export) or into it (import).
QIcon ArrowIcon(bool intoPage) {
  QPixmap pixmap = Canvas(16);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(80, 80, 80), 1));
  painter.setBrush(QColor(250, 250, 245));
  painter.drawRect(QRectF(intoPage ? 7.5 : 1.5, 1.5, 7, 13));
  QPainterPath arrow;
  const qreal x = intoPage ? 0.5 : 6.5;
  arrow.moveTo(x, 6);
  arrow.lineTo(x + 5, 6);
  arrow.lineTo(x + 5, 3);
  arrow.lineTo(x + 9.5, 8);
  arrow.lineTo(x + 5, 13);
  arrow.lineTo(x + 5, 10);
  arrow.lineTo(x, 10);
  arrow.closeSubpath();
  painter.setBrush(intoPage ? QColor(40, 140, 60) : QColor(30, 90, 180));
  painter.setPen(Qt::NoPen);
  painter.drawPath(arrow);
  return QIcon(pixmap);
}

} // namespace

QIcon ApplicationIcon() {
  QIcon icon;
  for (int size : {16, 32, 48}) {
    QPixmap pixmap = Canvas(size);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(30, 90, 180));
    painter.setPen(Qt::NoPen);
    painter.drawRoundedRect(QRectF(0, 0, size, size), size / 6.0, size / 6.0);
    painter.setPen(QPen(Qt::white, size / 8.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    const qreal m = size / 4.0;
    painter.drawPolyline(
        QPolygonF({QPointF(m, m), QPointF(size / 2.0, size - m), QPointF(size - m, m)}));
    icon.addPixmap(pixmap);
  }
  return icon;
}

QIcon ImportIcon() {
  return ArrowIcon(true);
}

QIcon ExportIcon() {
  return ArrowIcon(false);
}

QIcon BrowseIcon() {
  QPixmap pixmap = Canvas(16);
  QPainter painter(&pixmap);
  for (int x : {3, 7, 11}) {
    painter.fillRect(QRect(x, 11, 2, 2), QColor(60, 60, 60));
  }
  return QIcon(pixmap);
}

} // namespace velmora
