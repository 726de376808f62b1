#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "runtime_p.h"

namespace rt::detail {
namespace {

// Pictures are named without regard to case: "ty_flash.JPG" finds ty_flash.jpg.
QString findCaseInsensitive(const QString& dir, const QString& fileName) {
  QDir d(dir);
  const auto entries = d.entryList(QDir::Files);
  for (const QString& e : entries)
    if (e.compare(fileName, Qt::CaseInsensitive) == 0) return d.filePath(e);
  return {};
}

QPixmap drawAppIcon(int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient g(0, 0, 0, size);
  g.setColorAt(0, QColor(40, 110, 220));
  g.setColorAt(1, QColor(10, 50, 150));
  QPainterPath box;
  box.addRoundedRect(QRectF(1, 1, size - 2, size - 2), size / 6.0, size / 6.0);
  p.fillPath(box, g);
  // A running figure: head, body, arms and legs.
  QPen pen(Qt::white, size / 11.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  const double s = size;
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(s * 0.58, s * 0.22), s * 0.07, s * 0.07);
  p.setBrush(Qt::NoBrush);
  p.drawLine(QPointF(s * 0.55, s * 0.35), QPointF(s * 0.45, s * 0.58));
  p.drawPolyline(QVector<QPointF>{{s * 0.30, s * 0.42}, {s * 0.45, s * 0.36}, {s * 0.55, s * 0.35},
                                  {s * 0.66, s * 0.47}, {s * 0.78, s * 0.42}});
  p.drawPolyline(QVector<QPointF>{{s * 0.45, s * 0.58}, {s * 0.60, s * 0.70}, {s * 0.56, s * 0.86}});
  p.drawPolyline(QVector<QPointF>{{s * 0.45, s * 0.58}, {s * 0.36, s * 0.74}, {s * 0.22, s * 0.78}});
  return pm;
}

}  // namespace

QIcon stockIcon(const std::string& name) {
  QString n = qs(name).toLower();
  if (n == QLatin1String("appicon!")) {
    static const QIcon icon = [] {
      QIcon drawn;
      for (int size : {16, 24, 32, 48, 64}) drawn.addPixmap(drawAppIcon(size));
      return drawn;
    }();
    return icon;
  }
  return {};
}

QPixmap loadPicture(const std::string& name) {
  static QHash<QString, QPixmap> cache;
  const QString key = qs(name).trimmed();
  if (key.isEmpty()) return {};
  if (auto it = cache.constFind(key.toLower()); it != cache.constEnd()) return *it;

  QPixmap pm;
  if (key.endsWith('!')) {
    pm = stockIcon(key.toStdString()).pixmap(32, 32);
  } else {
    const QFileInfo info(key);
    QString path = findCaseInsensitive(QStringLiteral(":/pictures"), info.fileName());
    if (path.isEmpty()) {
      const QString dir = info.path().isEmpty() ? QStringLiteral(".") : info.path();
      path = findCaseInsensitive(dir, info.fileName());
    }
    if (!path.isEmpty()) pm.load(path);
  }
  cache.insert(key.toLower(), pm);
  return pm;
}

}  // namespace rt::detail
