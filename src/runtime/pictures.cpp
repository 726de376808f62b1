#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <map>

#include "picture_decode_p.h"
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
  p.drawPolyline(QVector<QPointF>{
      {s * 0.30, s * 0.42}, {s * 0.45, s * 0.36}, {s * 0.55, s * 0.35}, {s * 0.66, s * 0.47}, {s * 0.78, s * 0.42}});
  p.drawPolyline(QVector<QPointF>{{s * 0.45, s * 0.58}, {s * 0.60, s * 0.70}, {s * 0.56, s * 0.86}});
  p.drawPolyline(QVector<QPointF>{{s * 0.45, s * 0.58}, {s * 0.36, s * 0.74}, {s * 0.22, s * 0.78}});
  return pm;
}

// --- Toolbar pictures, drawn on a 24-unit grid and scaled to the size asked for. ---

// An outline of about one device pixel, never thinner.
double outlineWidth(int size) { return std::max(1.0, 24.0 / size); }

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line, double width) {
  p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

QLinearGradient vertical(double top, double bottom, const QColor& light, const QColor& dark) {
  QLinearGradient g(0, top, 0, bottom);
  g.setColorAt(0, light);
  g.setColorAt(1, dark);
  return g;
}

QPainterPath roundRect(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// A rounded card with a coloured band across its top (a title bar, a card's header),
// outlined after the band so the band never covers the outline.
void cardWithHeader(QPainter& p, const QRectF& r, double header, const QBrush& body, const QBrush& band,
                    const QColor& line, double lw) {
  const QPainterPath card = roundRect(r, 1.5);
  shape(p, card, body, line, lw);
  p.save();
  p.setClipPath(card);
  p.fillRect(QRectF(r.x(), r.y(), r.width(), header), band);
  p.restore();
  p.setPen(QPen(line, lw));
  p.setBrush(Qt::NoBrush);
  p.drawPath(card);
}

QPainterPath polygon(std::initializer_list<QPointF> pts) {
  QPainterPath path;
  path.addPolygon(QPolygonF(QList<QPointF>(pts)));
  path.closeSubpath();
  return path;
}

// A solid arrow pointing right: shaft from x0 to the head, which ends at x1.
QPainterPath arrowRight(double x0, double x1, double cy, double shaft, double head) {
  const double hx = x1 - head * 0.9;
  return polygon({{x0, cy - shaft / 2},
                  {hx, cy - shaft / 2},
                  {hx, cy - head / 2},
                  {x1, cy},
                  {hx, cy + head / 2},
                  {hx, cy + shaft / 2},
                  {x0, cy + shaft / 2}});
}

void greenArrow(QPainter& p, const QPainterPath& a, double lw) {
  const QRectF b = a.boundingRect();
  shape(p, a, vertical(b.top(), b.bottom(), QColor(150, 236, 110), QColor(20, 130, 30)), QColor(10, 80, 20), lw);
}

// Exit: an open door with an arrow leaving through it.
void drawExit(QPainter& p, double lw) {
  shape(p, roundRect(QRectF(2.5, 1.5, 12, 21), 0.5), vertical(1, 23, QColor(70, 80, 100), QColor(20, 24, 40)),
        QColor(30, 30, 40), lw);
  // The door, swung open on its left hinge.
  shape(p, polygon({{2.5, 1.5}, {8.5, 3.5}, {8.5, 24.0}, {2.5, 22.5}}),
        vertical(1, 24, QColor(226, 160, 90), QColor(150, 86, 30)), QColor(80, 40, 10), lw);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 220, 120));
  p.drawEllipse(QPointF(7.2, 13.5), 0.9, 0.9);
  greenArrow(p, arrowRight(9, 23, 12, 4.5, 11), lw);
}

// Sign in: a person with an arrow going in.
void drawSignIn(QPainter& p, double lw) {
  const QColor line(20, 40, 90);
  shape(p, roundRect(QRectF(8.5, 13.5, 14, 10), 4.5), vertical(13, 24, QColor(110, 170, 250), QColor(20, 70, 170)),
        line, lw);
  QRadialGradient face(QPointF(14.5, 6.5), 5);
  face.setColorAt(0, QColor(255, 228, 200));
  face.setColorAt(1, QColor(236, 176, 130));
  shape(p, roundRect(QRectF(11, 2.5, 8, 9), 4), face, QColor(110, 60, 30), lw);
  QPainterPath hair;
  hair.moveTo(11.2, 6.5);
  hair.cubicTo(11, 1.5, 19, 1.5, 18.8, 6.5);
  hair.cubicTo(17, 4.5, 13, 4.5, 11.2, 6.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(70, 40, 20));
  p.drawPath(hair);
  greenArrow(p, arrowRight(0.5, 12.5, 16.5, 4, 9.5), lw);
}

// A thick arc with an arrowhead at its end.
QPainterPath circularArrow(double startDeg, double spanDeg, double r, QPointF c, double width) {
  QPainterPath arc;
  const QRectF box(c.x() - r, c.y() - r, 2 * r, 2 * r);
  arc.arcMoveTo(box, startDeg);
  arc.arcTo(box, startDeg, spanDeg);
  QPainterPathStroker stroker;
  stroker.setWidth(width);
  stroker.setCapStyle(Qt::FlatCap);
  QPainterPath band = stroker.createStroke(arc);
  // The head at the end of the arc, along the direction of travel.
  const double a = qDegreesToRadians(startDeg + spanDeg);
  const QPointF end(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
  const QPointF radial(std::cos(a), -std::sin(a));
  const double turn = spanDeg < 0 ? -1 : 1;  // the way round the arc travels
  const QPointF tangent(-std::sin(a) * turn, -std::cos(a) * turn);
  QPainterPath head =
      polygon({end + radial * (width * 1.15), end - radial * (width * 1.15), end + tangent * (width * 1.5)});
  return band.united(head).simplified();
}

// Sign out and in again: two arrows chasing each other round a circle.
void drawSwap(QPainter& p, double lw) {
  const QPointF c(12, 12);
  const QPainterPath top = circularArrow(170, -140, 8, c, 3.6);
  const QPainterPath bottom = circularArrow(-10, -140, 8, c, 3.6);
  shape(p, top, vertical(2, 14, QColor(120, 180, 255), QColor(20, 80, 190)), QColor(10, 40, 110), lw);
  shape(p, bottom, vertical(10, 22, QColor(150, 236, 110), QColor(20, 130, 30)), QColor(10, 80, 20), lw);
}

// A gold key lying diagonally, bow up-left; `at` is the middle of the bow.
void drawKey(QPainter& p, QPointF at, double scale, double lw) {
  p.save();
  p.translate(at);
  p.scale(scale, scale);
  p.rotate(45);
  QPainterPath key = roundRect(QRectF(-4, -4, 8, 8), 4);
  key.addRect(QRectF(3, -1.3, 10, 2.6));
  key.addRect(QRectF(9, 1, 1.8, 2.4));
  key.addRect(QRectF(11.5, 1, 1.6, 3));
  key = key.simplified();
  QPainterPath hole = roundRect(QRectF(-2.2, -2.2, 3, 3), 1.5);
  key = key.subtracted(hole);
  QLinearGradient gold(0, -4, 0, 4);
  gold.setColorAt(0, QColor(255, 236, 140));
  gold.setColorAt(0.5, QColor(240, 190, 50));
  gold.setColorAt(1, QColor(180, 120, 10));
  shape(p, key, gold, QColor(110, 70, 0), lw / scale);
  p.restore();
}

// The entry window: a registration card with a key.
void drawRegistration(QPainter& p, double lw) {
  const QColor line(50, 60, 90);
  cardWithHeader(p, QRectF(1.5, 3.5, 20, 15), 4, vertical(3, 19, QColor(255, 255, 255), QColor(214, 222, 236)),
                 vertical(3, 8, QColor(80, 150, 240), QColor(30, 80, 180)), line, lw);
  // Photo and lines of writing.
  shape(p, roundRect(QRectF(4, 9.5, 5, 6), 0.5), vertical(9, 16, QColor(180, 200, 230), QColor(120, 140, 180)),
        QColor(80, 90, 120), lw * 0.8);
  p.setPen(QPen(QColor(110, 120, 150), lw, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(11, 11), QPointF(19, 11));
  p.drawLine(QPointF(11, 14), QPointF(16, 14));
  drawKey(p, QPointF(13, 14.5), 0.95, lw);
}

QPainterPath gear(QPointF c, double outer, double inner, int teeth) {
  QPainterPath g;
  for (int i = 0; i < teeth * 4; ++i) {
    const double a = (i - 0.5) * M_PI / (teeth * 2);
    const double r = (i % 4 < 2) ? outer : inner;
    const QPointF pt = c + QPointF(std::cos(a), std::sin(a)) * r;
    i ? g.lineTo(pt) : g.moveTo(pt);
  }
  g.closeSubpath();
  QPainterPath hole;
  hole.addEllipse(c, inner * 0.38, inner * 0.38);
  return g.subtracted(hole);
}

// Item settings: a checklist on a clipboard, with a gear.
void drawSettings(QPainter& p, double lw) {
  shape(p, roundRect(QRectF(2.5, 2.5, 15, 20), 1.5), vertical(2, 23, QColor(214, 150, 80), QColor(140, 80, 30)),
        QColor(80, 40, 10), lw);
  shape(p, roundRect(QRectF(4.5, 5.5, 11, 15.5), 0.3), QColor(255, 255, 252), QColor(120, 110, 100), lw * 0.8);
  shape(p, roundRect(QRectF(6.5, 1.5, 7, 4), 1), vertical(1, 6, QColor(240, 240, 244), QColor(140, 144, 156)),
        QColor(60, 60, 70), lw);
  for (int r = 0; r < 3; ++r) {
    const double y = 9 + r * 4.2;
    p.setPen(QPen(QColor(20, 150, 30), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({{5.8, y}, {7, y + 1.3}, {9, y - 1.2}}));
    p.setPen(QPen(QColor(110, 120, 140), lw, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(10.2, y), QPointF(14, y));
  }
  QRadialGradient steel(QPointF(16.5, 15.5), 8);
  steel.setColorAt(0, QColor(240, 244, 250));
  steel.setColorAt(1, QColor(110, 120, 140));
  shape(p, gear(QPointF(18, 18), 5.6, 4.0, 8), steel, QColor(40, 44, 60), lw);
}

// Score calculation: a pocket calculator.
void drawCalculatorIcon(QPainter& p, double lw) {
  const QColor line(20, 26, 40);
  shape(p, roundRect(QRectF(3.5, 1.5, 17, 21), 2), vertical(1, 23, QColor(110, 124, 150), QColor(40, 48, 66)), line,
        lw);
  shape(p, roundRect(QRectF(5.5, 3.5, 13, 5), 0.5), vertical(3, 9, QColor(210, 240, 200), QColor(150, 190, 140)),
        QColor(20, 40, 20), lw * 0.8);
  p.setPen(QPen(QColor(30, 60, 30), lw, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(11, 6), QPointF(17, 6));
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c) {
      const QRectF key(5.5 + c * 4.5, 10.5 + r * 4, 3.5, 3);
      const bool equals = r == 2 && c == 2;
      shape(p, roundRect(key, 0.6),
            equals ? vertical(key.top(), key.bottom(), QColor(255, 190, 90), QColor(220, 100, 20))
                   : vertical(key.top(), key.bottom(), QColor(255, 255, 255), QColor(190, 196, 210)),
            equals ? QColor(120, 50, 0) : QColor(30, 34, 50), lw * 0.7);
    }
}

// A pen lying diagonally, nib down-left, its nib at `tip`.
void drawPen(QPainter& p, QPointF tip, double length, double lw) {
  p.save();
  p.translate(tip);
  p.rotate(45);  // the pen runs up-right from its tip
  const double w = 4.2;
  QPainterPath body = roundRect(QRectF(-w / 2, -length, w, length - 4.5), 1.6);
  QLinearGradient lac(-w / 2, 0, w / 2, 0);
  lac.setColorAt(0, QColor(70, 110, 200));
  lac.setColorAt(0.4, QColor(140, 180, 250));
  lac.setColorAt(1, QColor(16, 36, 100));
  shape(p, body, lac, QColor(10, 20, 50), lw);
  QLinearGradient gold(-w / 2, 0, w / 2, 0);
  gold.setColorAt(0, QColor(200, 150, 30));
  gold.setColorAt(0.4, QColor(255, 236, 140));
  gold.setColorAt(1, QColor(160, 110, 10));
  shape(p, polygon({{-w / 2, -4.5}, {w / 2, -4.5}, {0, 0}}), gold, QColor(100, 60, 0), lw);
  p.restore();
}

// Graduation score: a document with a pen.
void drawDocumentPen(QPainter& p, double lw) {
  const QColor line(70, 80, 100);
  shape(p, polygon({{3.5, 1.5}, {13.5, 1.5}, {18.5, 6.5}, {18.5, 22.5}, {3.5, 22.5}}),
        vertical(1, 23, QColor(255, 255, 255), QColor(226, 230, 238)), line, lw);
  shape(p, polygon({{13.5, 1.5}, {13.5, 6.5}, {18.5, 6.5}}), QColor(200, 206, 220), line, lw);
  p.setPen(QPen(QColor(120, 140, 180), lw, Qt::SolidLine, Qt::FlatCap));
  for (double y : {9.0, 12.0, 15.0}) p.drawLine(QPointF(6, y), QPointF(16, y));
  p.drawLine(QPointF(6, 18), QPointF(10, 18));
  drawPen(p, QPointF(10, 20), 15, lw);
}

// Save: a diskette.
void drawDiskette(QPainter& p, double lw) {
  const QColor line(10, 26, 70);
  shape(p, polygon({{2.5, 2.5}, {19.5, 2.5}, {21.5, 4.5}, {21.5, 21.5}, {2.5, 21.5}}),
        vertical(2, 22, QColor(80, 140, 240), QColor(16, 56, 150)), line, lw);
  shape(p, roundRect(QRectF(6.5, 2.5, 11, 7), 0.5), vertical(2, 10, QColor(245, 246, 250), QColor(160, 166, 180)),
        QColor(50, 54, 70), lw);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 50, 80));
  p.drawRect(QRectF(13.5, 3.8, 2.4, 4.4));
  shape(p, roundRect(QRectF(5.5, 12.5, 13, 9), 0.5), vertical(12, 22, QColor(255, 255, 255), QColor(222, 226, 234)),
        QColor(60, 70, 100), lw);
  p.setPen(QPen(QColor(220, 80, 70), lw, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(7, 15), QPointF(17, 15));
  p.setPen(QPen(QColor(150, 160, 190), lw, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(7, 18), QPointF(17, 18));
}

// Close: a red cross.
void drawClose(QPainter& p, double lw) {
  QPainterPath bar = roundRect(QRectF(-10, -2.6, 20, 5.2), 1.6);
  QTransform a, b;
  a.translate(12, 12);
  a.rotate(45);
  b.translate(12, 12);
  b.rotate(-45);
  const QPainterPath cross = a.map(bar).united(b.map(bar)).simplified();
  shape(p, cross, vertical(3, 21, QColor(255, 120, 100), QColor(180, 16, 16)), QColor(100, 0, 0), lw);
  p.save();
  p.setClipPath(cross);
  p.fillRect(QRectF(0, 0, 24, 10), QColor(255, 255, 255, 60));
  p.restore();
}

// A form: a window with its title bar, a field and a row of buttons.
void drawForm(QPainter& p, double lw) {
  const QColor line(30, 44, 80);
  cardWithHeader(p, QRectF(1.5, 2.5, 21, 19), 5, vertical(2, 22, QColor(248, 249, 252), QColor(214, 220, 232)),
                 vertical(2, 8, QColor(90, 160, 245), QColor(24, 76, 180)), line, lw);
  // The close box and the title.
  shape(p, roundRect(QRectF(17, 3.8, 3.6, 2.6), 0.5), vertical(3, 7, QColor(255, 130, 110), QColor(190, 30, 20)),
        QColor(110, 10, 0), lw * 0.7);
  p.setPen(QPen(QColor(230, 240, 255), lw, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(4, 5), QPointF(11, 5));
  // A field with a number in it, right-aligned.
  shape(p, roundRect(QRectF(4, 9.5, 16, 4), 0.4), QColor(255, 251, 240), QColor(90, 100, 130), lw * 0.8);
  p.setPen(QPen(QColor(0, 0, 255), lw * 1.2, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QPointF(13, 11.5), QPointF(18.5, 11.5));
  // Buttons.
  for (int c = 0; c < 3; ++c) {
    const QRectF button(4 + c * 5.5, 15.5, 4.5, 3.5);
    const bool last = c == 2;
    shape(p, roundRect(button, 0.6),
          last ? vertical(button.top(), button.bottom(), QColor(255, 190, 90), QColor(220, 100, 20))
               : vertical(button.top(), button.bottom(), QColor(255, 255, 255), QColor(180, 188, 204)),
          last ? QColor(120, 50, 0) : QColor(40, 46, 70), lw * 0.7);
  }
}

using Drawing = void (*)(QPainter&, double);

QIcon drawnIcon(Drawing draw) {
  QIcon icon;
  for (int size : {16, 24, 32, 48}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    draw(p, outlineWidth(size));
    p.end();
    icon.addPixmap(pm);
  }
  return icon;
}

}  // namespace

QIcon stockIcon(const std::string& name) {
  const QString n = qs(name).toLower();
  if (n == QLatin1String("appicon!")) {
    static const QIcon icon = [] {
      QIcon drawn;
      for (int size : {16, 24, 32, 48, 64}) drawn.addPixmap(drawAppIcon(size));
      return drawn;
    }();
    return icon;
  }
  static const QHash<QString, Drawing> drawings = {
      {QStringLiteral("exit!"), drawExit},
      {QStringLiteral("custom079!"), drawSignIn},
      {QStringLiteral("fullbuild!"), drawSettings},
      {QStringLiteral("properties!"), drawCalculatorIcon},
      {QStringLiteral("editobject!"), drawDocumentPen},
      {QStringLiteral("runscc!"), drawSwap},
      {QStringLiteral("olegenreg!"), drawRegistration},
      {QStringLiteral("save!"), drawDiskette},
      {QStringLiteral("close!"), drawClose},
      {QStringLiteral("form!"), drawForm},
  };
  const auto it = drawings.constFind(n);
  if (it == drawings.constEnd()) return {};
  static QHash<QString, QIcon> drawn;
  auto cached = drawn.find(n);
  if (cached == drawn.end()) cached = drawn.insert(n, drawnIcon(*it));
  return *cached;
}

QCursor stockPointer(const std::string& name) {
  const QString n = qs(name).toLower();
  if (n == QLatin1String("hyperlink!")) return QCursor(Qt::PointingHandCursor);
  if (n == QLatin1String("ibeam!")) return QCursor(Qt::IBeamCursor);
  if (n == QLatin1String("hourglass!")) return QCursor(Qt::WaitCursor);
  return QCursor(Qt::ArrowCursor);
}

namespace {

// A picture file by its name: shipped with the program first, then on disk.
QString picturePath(const QString& key) {
  const QFileInfo info(key);
  QString path = findCaseInsensitive(QStringLiteral(":/pictures"), info.fileName());
  if (path.isEmpty()) {
    const QString dir = info.path().isEmpty() ? QStringLiteral(".") : info.path();
    path = findCaseInsensitive(dir, info.fileName());
  }
  return path;
}

// A picture name as the caches know it: pictures are named without regard to case.
QString keyOf(const std::string& name) { return qs(name).trimmed().toLower(); }

struct PictureBook {
  QHash<QString, QPixmap> kept;  // for the run
  // By name and size, while something holds them: the last holder's release takes the entry.
  std::map<std::pair<QString, std::pair<int, int>>, std::weak_ptr<const QPixmap>> shown;
  QHash<QString, int> decodes;
};

// Never destroyed: a control held by a static may let its picture go after every other static.
PictureBook& book() {
  static auto* b = new PictureBook;
  return *b;
}

}  // namespace

QPixmap loadPicture(const std::string& name) {
  PictureBook& b = book();
  const QString key = keyOf(name);
  if (key.isEmpty()) return {};
  if (auto it = b.kept.constFind(key); it != b.kept.constEnd()) return *it;

  QPixmap pm;
  if (key.endsWith('!')) {
    pm = stockIcon(key.toStdString()).pixmap(32, 32);
  } else if (const QString path = picturePath(qs(name).trimmed()); !path.isEmpty()) {
    pm = QPixmap::fromImage(decodePictureFile(path, {}));
    ++b.decodes[key];
  }
  b.kept.insert(key, pm);
  return pm;
}

SharedPicture shownPicture(const std::string& name, QSize size) {
  const QString key = keyOf(name);
  if (key.isEmpty()) return {};
  if (key.endsWith('!')) {  // stock pictures are small and drawn once for the run
    const QPixmap stock = loadPicture(name);
    if (stock.isNull()) return {};
    if (!size.isValid() || stock.size() == size) return std::make_shared<const QPixmap>(stock);
    return std::make_shared<const QPixmap>(stock.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
  }
  PictureBook& b = book();
  const auto id = std::make_pair(key, std::make_pair(size.width(), size.height()));
  if (auto it = b.shown.find(id); it != b.shown.end()) return it->second.lock();
  // The directory part of a name on disk keeps its case; only the file name is matched without.
  const QString path = picturePath(qs(name).trimmed());
  if (path.isEmpty()) return {};
  QImage image = decodePictureFile(path, size);
  ++b.decodes[key];
  if (image.isNull()) return {};
  SharedPicture pm(new QPixmap(QPixmap::fromImage(std::move(image))), [id](const QPixmap* gone) {
    book().shown.erase(id);
    delete gone;
  });
  b.shown.emplace(id, pm);
  return pm;
}

int pictureDecodes(const std::string& name) { return book().decodes.value(keyOf(name)); }

int picturesLive(const std::string& name) {
  const QString key = keyOf(name);
  const PictureBook& b = book();
  int n = b.kept.contains(key) && !b.kept.value(key).isNull() ? 1 : 0;
  for (const auto& entry : b.shown)
    if (entry.first.first == key) ++n;
  return n;
}

}  // namespace rt::detail
