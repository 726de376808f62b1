// Draws the program's own pictures, so that every picture it ships is made here.

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdio>

namespace {

void drawTrack(QPainter& p, const QRectF& r, int lanes) {
  for (int i = 0; i < lanes; ++i) {
    const double inset = i * 14.0;
    QRectF lane = r.adjusted(inset, inset * 0.6, -inset, -inset * 0.6);
    QPen pen(QColor(255, 255, 255, 150 - i * 15), 2.0);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(lane, lane.height() / 2, lane.height() / 2);
  }
}

void drawRunner(QPainter& p, QPointF at, double s, const QColor& c) {
  QPen pen(c, s * 0.11, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  p.setPen(pen);
  p.setBrush(c);
  p.drawEllipse(at + QPointF(s * 0.10, -s * 0.95), s * 0.09, s * 0.09);
  p.setBrush(Qt::NoBrush);
  const QPointF neck = at + QPointF(s * 0.05, -s * 0.80);
  const QPointF hip = at + QPointF(-s * 0.08, -s * 0.42);
  p.drawLine(neck, hip);
  p.drawPolyline(QVector<QPointF>{at + QPointF(-s * 0.30, -s * 0.62), neck, at + QPointF(s * 0.22, -s * 0.58),
                                  at + QPointF(s * 0.38, -s * 0.72)});
  p.drawPolyline(QVector<QPointF>{hip, at + QPointF(s * 0.18, -s * 0.22), at + QPointF(s * 0.10, 0)});
  p.drawPolyline(QVector<QPointF>{hip, at + QPointF(-s * 0.22, -s * 0.18), at + QPointF(-s * 0.45, -s * 0.16)});
}

// The blue sky of the title pictures, lighter round `glow`.
void drawSky(QPainter& p, const QRect& r, QPointF glow, double radius, int glowAlpha) {
  QLinearGradient sky(0, 0, 0, r.height());
  sky.setColorAt(0.0, QColor(8, 34, 96));
  sky.setColorAt(0.55, QColor(20, 86, 170));
  sky.setColorAt(1.0, QColor(10, 40, 110));
  p.fillRect(r, sky);
  QRadialGradient light(glow, radius);
  light.setColorAt(0, QColor(120, 190, 255, glowAlpha));
  light.setColorAt(1, QColor(120, 190, 255, 0));
  p.fillRect(r, light);
}

QImage drawSplash() {
  const int w = 760, h = 481;
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  drawSky(p, img.rect(), QPointF(w * 0.72, h * 0.30), w * 0.55, 110);

  // A running track across the lower half.
  QPainterPath field;
  field.addRoundedRect(QRectF(-120, h * 0.58, w + 240, h * 0.62), h * 0.3, h * 0.3);
  p.fillPath(field, QColor(176, 60, 46));
  drawTrack(p, QRectF(-110, h * 0.60, w + 220, h * 0.58), 6);

  drawRunner(p, QPointF(w * 0.70, h * 0.80), 120, QColor(255, 255, 255));
  drawRunner(p, QPointF(w * 0.84, h * 0.84), 95, QColor(255, 220, 120));
  drawRunner(p, QPointF(w * 0.57, h * 0.86), 80, QColor(160, 220, 255));

  // Title.
  QFont latin(QStringLiteral("Liberation Sans"));
  latin.setPixelSize(74);
  latin.setBold(true);
  p.setFont(latin);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QPointF(53, 133), QStringLiteral("Orvida"));
  p.setPen(Qt::white);
  p.drawText(QPointF(50, 130), QStringLiteral("Orvida"));

  QFont cjk(QStringLiteral("AR PL UMing CN"));
  cjk.setPixelSize(46);
  cjk.setBold(true);
  p.setFont(cjk);
  p.setPen(QColor(255, 214, 90));
  p.drawText(QPointF(318, 128), QStringLiteral("高中"));

  cjk.setPixelSize(30);
  p.setFont(cjk);
  p.setPen(Qt::white);
  p.drawText(QPointF(52, 185), QStringLiteral("学生体质健康测试成绩计算"));

  p.setPen(QPen(QColor(255, 214, 90), 3));
  p.drawLine(QPointF(52, 205), QPointF(420, 205));

  // The splash shows the picture at a little over half its size: the two small lines are
  // drawn large enough to stay readable (about 12 px) there.
  cjk.setPixelSize(22);
  cjk.setBold(false);
  p.setFont(cjk);
  p.setPen(QColor(220, 235, 255));
  p.drawText(QPointF(52, 242), QStringLiteral("项目成绩 · 学年总分 · 等级评定 · 毕业成绩"));

  latin.setPixelSize(22);
  latin.setBold(true);
  p.setFont(latin);
  p.setPen(QColor(255, 255, 255, 230));
  p.drawText(QRectF(0, h - 40, w - 18, 30), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Version 3.0"));
  return img;
}

// The frame picture: the splash's scene, wider, with the product's title in the middle.
QImage drawFramePicture() {
  const int w = 1016, h = 712;
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  drawSky(p, img.rect(), QPointF(w * 0.5, h * 0.34), w * 0.6, 120);

  // Faint light rays from behind the title.
  for (int i = 0; i < 18; ++i) {
    const double a0 = (i * 20.0) * M_PI / 180.0, a1 = a0 + 7.0 * M_PI / 180.0;
    QPainterPath ray;
    const QPointF c(w * 0.5, h * 0.34);
    ray.moveTo(c);
    ray.lineTo(c + QPointF(std::cos(a0), std::sin(a0)) * w);
    ray.lineTo(c + QPointF(std::cos(a1), std::sin(a1)) * w);
    ray.closeSubpath();
    p.fillPath(ray, QColor(255, 255, 255, 10));
  }

  QPainterPath field;
  field.addRoundedRect(QRectF(-160, h * 0.66, w + 320, h * 0.62), h * 0.3, h * 0.3);
  p.fillPath(field, QColor(176, 60, 46));
  drawTrack(p, QRectF(-150, h * 0.68, w + 300, h * 0.58), 7);

  drawRunner(p, QPointF(w * 0.18, h * 0.93), 120, QColor(160, 220, 255));
  drawRunner(p, QPointF(w * 0.78, h * 0.90), 150, QColor(255, 255, 255));
  drawRunner(p, QPointF(w * 0.90, h * 0.95), 110, QColor(255, 220, 120));

  // Title: "Orvida" and "（高中）" on one centred line.
  QFont latin(QStringLiteral("Liberation Sans"));
  latin.setPixelSize(104);
  latin.setBold(true);
  QFont cjk(QStringLiteral("AR PL UMing CN"));
  cjk.setPixelSize(76);
  cjk.setBold(true);
  const QString name = QStringLiteral("Orvida"), grade = QStringLiteral("（高中）");
  const double nameW = QFontMetricsF(latin).horizontalAdvance(name);
  const double gradeW = QFontMetricsF(cjk).horizontalAdvance(grade);
  const double x0 = (w - nameW - gradeW + 14) / 2, base = 250;
  p.setFont(latin);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QPointF(x0 + 4, base + 4), name);
  p.setPen(Qt::white);
  p.drawText(QPointF(x0, base), name);
  // The CJK face has no bold cut: thicken the outline of the glyphs instead.
  QPainterPath gradePath;
  gradePath.addText(QPointF(x0 + nameW - 14, base), cjk, grade);
  p.setPen(QPen(QColor(0, 0, 0, 90), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(0, 0, 0, 90));
  p.drawPath(gradePath.translated(4, 4));
  p.setPen(QPen(QColor(255, 214, 90), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(255, 214, 90));
  p.drawPath(gradePath);

  cjk.setPixelSize(38);
  p.setFont(cjk);
  p.setPen(Qt::white);
  p.drawText(QRectF(0, base + 30, w, 50), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("学生体质健康测试成绩计算"));

  p.setPen(QPen(QColor(255, 214, 90), 3));
  p.drawLine(QPointF(w * 0.5 - 250, base + 96), QPointF(w * 0.5 + 250, base + 96));

  cjk.setPixelSize(20);
  cjk.setBold(false);
  p.setFont(cjk);
  p.setPen(QColor(220, 235, 255));
  p.drawText(QRectF(0, base + 106, w, 34), Qt::AlignHCenter | Qt::AlignVCenter,
             QStringLiteral("项目成绩 · 学年总分 · 等级评定 · 毕业成绩"));
  return img;
}

// --- The start page's pictures: small illustrations on the page's own colour. ---

const QColor kPage(255, 251, 240);

QImage pageCanvas(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(kPage);
  return img;
}

// A digit as an outline path, scaled to the height of `box` and centred in it.
QPainterPath digitPath(QChar digit, const QRectF& box) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(200);
  f.setBold(true);
  QPainterPath raw;
  raw.addText(0, 0, f, QString(digit));
  const QRectF b = raw.boundingRect();
  const double k = box.height() / b.height();
  QTransform t;
  t.translate(box.center().x(), box.center().y());
  t.scale(k, k);
  t.translate(-b.center().x(), -b.center().y());
  return t.map(raw);
}

void fillOutlined(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line, double width) {
  p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

// A soft shadow on the page under a shape.
void dropShadow(QPainter& p, const QPainterPath& path, QPointF offset) {
  p.save();
  p.translate(offset);
  p.setPen(QPen(QColor(120, 100, 70, 40), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor(120, 100, 70, 60));
  p.drawPath(path);
  p.restore();
}

// Limbs drawn as thick strokes: first the outline, then the colour over it.
void outlinedStroke(QPainter& p, const QPainterPath& path, const QColor& c, const QColor& line, double w) {
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(line, w + 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
  p.setPen(QPen(c, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(path);
}

QPainterPath polyline(std::initializer_list<QPointF> pts) {
  QPainterPath path;
  auto it = pts.begin();
  path.moveTo(*it);
  for (++it; it != pts.end(); ++it) path.lineTo(*it);
  return path;
}

// Item settings of a grade: an athlete crouched at the start on a board, before the digit.
QImage drawItemSettings(QChar digit) {
  QImage img = pageCanvas(90, 98);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  const QPainterPath d = digitPath(digit, QRectF(30, 3, 56, 70));
  dropShadow(p, d, QPointF(2.5, 2.5));
  QLinearGradient blue(0, 3, 0, 73);
  blue.setColorAt(0, QColor(90, 160, 250));
  blue.setColorAt(0.5, QColor(30, 100, 215));
  blue.setColorAt(1, QColor(12, 52, 150));
  fillOutlined(p, d, blue, QColor(8, 30, 90), 1.6);
  // A gloss on the digit's upper half.
  p.save();
  p.setClipPath(d);
  p.fillRect(QRectF(20, 0, 70, 30), QColor(255, 255, 255, 55));
  p.restore();

  // The board: a plank seen slightly from above.
  QPainterPath top;
  top.moveTo(10, 80);
  top.lineTo(84, 80);
  top.lineTo(80, 75);
  top.lineTo(6, 75);
  top.closeSubpath();
  QPainterPath front;
  front.moveTo(6, 75);
  front.lineTo(10, 80);
  front.lineTo(84, 80);
  front.lineTo(84, 86);
  front.lineTo(10, 86);
  front.lineTo(6, 81);
  front.closeSubpath();
  dropShadow(p, front.united(top), QPointF(2, 3));
  QLinearGradient wood(0, 75, 0, 86);
  wood.setColorAt(0, QColor(240, 196, 120));
  wood.setColorAt(1, QColor(196, 132, 62));
  fillOutlined(p, front, QColor(170, 108, 48), QColor(90, 52, 18), 1.2);
  fillOutlined(p, top, wood, QColor(90, 52, 18), 1.2);
  p.setPen(QPen(QColor(255, 235, 190), 1));
  p.drawLine(QPointF(14, 77), QPointF(76, 77));

  // The athlete in the set position, facing right: hands on the board, hips raised.
  const QColor line(50, 14, 6);
  const QColor shirt(232, 64, 36), tights(36, 56, 130), skin(250, 196, 150), shoe(252, 252, 252);
  const QPointF hip(30, 50), shoulder(49, 57.5), head(56.5, 53.5);
  outlinedStroke(p, polyline({hip, {22, 65}, {9, 73.5}}), tights.darker(130), line, 4.4);  // back leg
  outlinedStroke(p, polyline({{7, 74.5}, {13, 74.5}}), shoe, line, 2.6);
  outlinedStroke(p, polyline({shoulder, {52.5, 66}, {53, 74.5}}), skin.darker(115), line, 3.4);  // far arm
  outlinedStroke(p, polyline({hip, {41, 61}, {33.5, 73.5}}), tights, line, 4.8);                 // front leg
  outlinedStroke(p, polyline({{31, 74.5}, {38, 74.5}}), shoe, line, 2.8);
  QLinearGradient jersey(0, 48, 0, 62);
  jersey.setColorAt(0, QColor(255, 110, 70));
  jersey.setColorAt(1, shirt.darker(115));
  p.setPen(QPen(line, 10.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(hip, shoulder);
  p.setPen(QPen(QBrush(jersey), 8, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(hip, shoulder);
  outlinedStroke(p, polyline({{48.5, 58.5}, {48, 66.5}, {49, 74.5}}), skin, line, 3.6);  // near arm
  outlinedStroke(p, polyline({{48.8, 58}, {48.5, 62.5}}), shirt, line, 4.6);             // sleeve
  QRadialGradient face(head - QPointF(1.5, 1.5), 6);
  face.setColorAt(0, QColor(255, 225, 195));
  face.setColorAt(1, skin);
  p.setPen(QPen(line, 1.1));
  p.setBrush(face);
  p.drawEllipse(head, 5, 5);
  p.setBrush(QColor(60, 36, 20));
  p.setPen(Qt::NoPen);
  p.drawChord(QRectF(head.x() - 5.2, head.y() - 5.2, 10.4, 10.4), 60 * 16, 150 * 16);
  return img;
}

// Score calculator of a grade: a desktop computer before an embossed digit.
QImage drawCalculator(QChar digit) {
  QImage img = pageCanvas(90, 98);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  // The embossed digit: a lit upper-left edge, a shaded lower-right edge.
  const QPainterPath d = digitPath(digit, QRectF(2, 3, 52, 72));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 78, 60, 110));
  p.drawPath(d.translated(2.2, 2.2));
  p.setBrush(Qt::white);
  p.drawPath(d.translated(-1.2, -1.2));
  QLinearGradient stone(0, 3, 0, 75);
  stone.setColorAt(0, QColor(250, 214, 120));
  stone.setColorAt(1, QColor(214, 150, 40));
  p.setBrush(stone);
  p.setPen(QPen(QColor(150, 96, 20), 1.0));
  p.drawPath(d);
  p.save();
  p.setClipPath(d);
  p.setPen(QPen(QColor(255, 246, 210), 1.6));
  p.setBrush(Qt::NoBrush);
  p.drawPath(d.translated(1.0, 1.0));
  p.restore();

  const QColor line(60, 60, 70);
  const QColor beige(236, 232, 220), beigeDark(196, 190, 174);

  // Case under the monitor.
  QPainterPath box;
  box.addRoundedRect(QRectF(34.5, 70.5, 52, 11), 1.5, 1.5);
  dropShadow(p, box, QPointF(2, 2));
  QLinearGradient caseFill(0, 70, 0, 82);
  caseFill.setColorAt(0, QColor(250, 248, 240));
  caseFill.setColorAt(1, beigeDark);
  fillOutlined(p, box, caseFill, line, 1.1);
  p.setPen(QPen(QColor(120, 116, 104), 1));
  p.drawLine(QPointF(40, 75.5), QPointF(56, 75.5));
  p.drawLine(QPointF(40, 78.5), QPointF(56, 78.5));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 200, 60));
  p.drawEllipse(QPointF(80, 76.5), 1.4, 1.4);

  // Monitor on a short neck.
  p.setBrush(beigeDark);
  p.setPen(QPen(line, 1));
  p.drawRect(QRectF(55.5, 65.5, 10, 5));
  QPainterPath monitor;
  monitor.addRoundedRect(QRectF(37.5, 28.5, 46, 38), 3, 3);
  dropShadow(p, monitor, QPointF(2, 2));
  QLinearGradient bezel(0, 28, 0, 66);
  bezel.setColorAt(0, QColor(252, 250, 244));
  bezel.setColorAt(1, beige.darker(112));
  fillOutlined(p, monitor, bezel, line, 1.1);
  const QRectF screen(41.5, 32.5, 38, 28);
  QLinearGradient glass(screen.topLeft(), screen.bottomRight());
  glass.setColorAt(0, QColor(40, 110, 210));
  glass.setColorAt(1, QColor(8, 36, 110));
  p.setPen(QPen(QColor(30, 40, 60), 1));
  p.setBrush(glass);
  p.drawRect(screen);
  // A score sheet on the screen: a header bar and rows of figures.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 214, 90));
  p.drawRect(QRectF(44, 35, 33, 3));
  for (int r = 0; r < 5; ++r) {
    const double y = 40.5 + r * 3.8;
    p.setBrush(QColor(210, 235, 255));
    p.drawRect(QRectF(44, y, 12, 1.6));
    p.setBrush(QColor(140, 240, 150));
    p.drawRect(QRectF(60, y, 6 + (r * 7 % 5), 1.6));
    p.drawRect(QRectF(70, y, 7, 1.6));
  }
  p.setBrush(QColor(255, 255, 255, 40));
  QPainterPath shine;
  shine.moveTo(screen.topLeft());
  shine.lineTo(screen.topRight());
  shine.lineTo(screen.left() + 10, screen.bottom());
  shine.lineTo(screen.bottomLeft());
  shine.closeSubpath();
  p.drawPath(shine);
  p.setBrush(QColor(40, 200, 60));
  p.drawEllipse(QPointF(79, 63.8), 1, 1);

  // Keyboard in front.
  QPainterPath kb;
  kb.moveTo(30.5, 85.5);
  kb.lineTo(84.5, 85.5);
  kb.lineTo(88.5, 94.5);
  kb.lineTo(26.5, 94.5);
  kb.closeSubpath();
  dropShadow(p, kb, QPointF(1.5, 1.5));
  fillOutlined(p, kb, caseFill, line, 1.1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 146, 134));
  for (int r = 0; r < 3; ++r)
    for (int k = 0; k < 12; ++k) {
      const double y = 87.2 + r * 2.4;
      const double x0 = 31.5 - r * 1.2, step = (52 + r * 2.4) / 12.0;
      p.drawRect(QRectF(x0 + k * step + 0.6, y, step - 1.2, 1.4));
    }
  return img;
}

// Graduation score: an open record book with a pen on it.
QImage drawGraduation() {
  QImage img = pageCanvas(90, 98);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);

  const QColor line(70, 30, 20);
  // The cover behind the pages.
  QPainterPath cover;
  cover.moveTo(4, 30);
  cover.quadTo(24, 24, 45, 32);
  cover.quadTo(66, 24, 86, 30);
  cover.lineTo(88, 82);
  cover.quadTo(66, 76, 45, 86);
  cover.quadTo(24, 76, 2, 82);
  cover.closeSubpath();
  dropShadow(p, cover, QPointF(2, 2.5));
  QLinearGradient red(0, 24, 0, 86);
  red.setColorAt(0, QColor(200, 50, 40));
  red.setColorAt(1, QColor(130, 20, 16));
  fillOutlined(p, cover, red, line, 1.2);

  // Two pages, curved toward the spine.
  auto page = [](bool left) {
    QPainterPath pg;
    const double o = left ? 6 : 84, s = left ? 1 : -1;
    pg.moveTo(o, 27);
    pg.quadTo(o + s * 20, 21, 45, 29);
    pg.lineTo(45, 82);
    pg.quadTo(o + s * 20, 73, o + s * 1, 78);
    pg.closeSubpath();
    return pg;
  };
  for (bool left : {true, false}) {
    QPainterPath pg = page(left);
    QLinearGradient paper(left ? 6 : 84, 0, 45, 0);
    paper.setColorAt(0, QColor(255, 255, 250));
    paper.setColorAt(0.8, QColor(248, 244, 230));
    paper.setColorAt(1, QColor(214, 206, 186));
    fillOutlined(p, pg, paper, QColor(120, 100, 80), 1.0);
  }
  // Ruled lines on both pages, a table of records on the right.
  p.save();
  p.setClipPath(page(true).united(page(false)));
  for (int r = 0; r < 8; ++r) {
    const double y = 35 + r * 5.5;
    QPainterPath l;
    l.moveTo(9, y - 3 + r * 0.1);
    l.quadTo(27, y - 7, 43, y);
    l.moveTo(47, y);
    l.quadTo(63, y - 7, 81, y - 3 + r * 0.1);
    p.setPen(QPen(QColor(150, 180, 220), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawPath(l);
  }
  p.setPen(QPen(QColor(210, 80, 70), 0.8));
  p.drawLine(QPointF(16, 26), QPointF(16, 82));
  p.restore();
  // A few entries written on the left page.
  p.setPen(QPen(QColor(40, 50, 90), 1.1, Qt::SolidLine, Qt::RoundCap));
  for (int r = 0; r < 5; ++r) {
    const double y = 37.5 + r * 5.5;
    const double len = 14 + (r * 5 % 9);
    p.drawLine(QPointF(19, y - 4.2 + r * 0.4), QPointF(19 + len, y - 3.6 + r * 0.9));
  }
  // The spine shadow and a ribbon bookmark.
  p.setPen(QPen(QColor(120, 100, 80), 1));
  p.drawLine(QPointF(45, 29), QPointF(45, 82));
  QPainterPath ribbon;
  ribbon.moveTo(50, 80);
  ribbon.lineTo(55, 80);
  ribbon.lineTo(55, 93);
  ribbon.lineTo(52.5, 90.5);
  ribbon.lineTo(50, 93);
  ribbon.closeSubpath();
  fillOutlined(p, ribbon, QColor(240, 190, 40), QColor(130, 90, 10), 0.9);

  // The pen, lying across the right page, nib down to the left.
  p.save();
  p.translate(60, 50);
  p.rotate(-50);
  QPainterPath body;
  body.addRoundedRect(QRectF(-4, -24, 8, 34), 3.5, 3.5);
  dropShadow(p, body, QPointF(2.5, 1.0));
  QLinearGradient lac(-4, 0, 4, 0);
  lac.setColorAt(0, QColor(60, 90, 170));
  lac.setColorAt(0.35, QColor(120, 160, 240));
  lac.setColorAt(1, QColor(14, 30, 90));
  fillOutlined(p, body, lac, QColor(10, 20, 50), 1.0);
  QPainterPath nib;
  nib.moveTo(-3.6, 10);
  nib.lineTo(3.6, 10);
  nib.lineTo(0, 22);
  nib.closeSubpath();
  QLinearGradient gold(-4, 0, 4, 0);
  gold.setColorAt(0, QColor(200, 150, 30));
  gold.setColorAt(0.4, QColor(255, 230, 130));
  gold.setColorAt(1, QColor(170, 120, 20));
  fillOutlined(p, nib, gold, QColor(110, 70, 10), 0.9);
  p.setPen(QPen(QColor(110, 70, 10), 0.8));
  p.drawLine(QPointF(0, 13), QPointF(0, 21));
  p.setPen(Qt::NoPen);
  p.setBrush(gold);
  p.drawRect(QRectF(-4, 5, 8, 2.2));
  p.drawRect(QRectF(3, -20, 2, 16));  // clip
  p.restore();
  return img;
}

// The green arrow between the start page's pictures, pointing right; `turn` rotates it.
QImage drawArrow(int w, int h, int turn) {
  QImage img = pageCanvas(w, h);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  // Drawn in an 81 x 30 box pointing right, then turned into place.
  QTransform t;
  if (turn == 90)
    t = QTransform(0, 1, -1, 0, 30, 0);  // down
  else if (turn == 180)
    t = QTransform(-1, 0, 0, 1, 81, 0);  // left (mirrored, lit from above)
  QPainterPath a;
  a.moveTo(4, 10);
  a.lineTo(54, 10);
  a.lineTo(54, 3);
  a.lineTo(77, 15);
  a.lineTo(54, 27);
  a.lineTo(54, 20);
  a.lineTo(4, 20);
  a.quadTo(2, 15, 4, 10);
  a.closeSubpath();
  const QPainterPath shape = t.map(a);
  dropShadow(p, shape, QPointF(1.5, 2));
  const QRectF b = shape.boundingRect();
  const bool vertical = turn == 90;
  QLinearGradient g =
      vertical ? QLinearGradient(b.right(), 0, b.left(), 0) : QLinearGradient(0, b.top(), 0, b.bottom());
  g.setColorAt(0, QColor(150, 236, 110));
  g.setColorAt(0.5, QColor(60, 180, 50));
  g.setColorAt(1, QColor(20, 120, 30));
  fillOutlined(p, shape, g, QColor(10, 80, 20), 1.2);
  // Highlight along the shaft.
  p.setPen(QPen(QColor(225, 255, 200, 200), 1.4, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(t.map(QLineF(7, 12.2, 52, 12.2)));
  return img;
}

// The frame's icon in 16 colours, as an icon of that kind holds: the application's
// runner on a blue tile, reduced to a fixed palette with a one-bit mask.
QImage drawFrameIcon() {
  const int s = 32;
  QImage img(s, s, QImage::Format_ARGB32);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath tile;
    tile.addRoundedRect(QRectF(0.5, 0.5, s - 1, s - 1), 6, 6);
    QLinearGradient g(0, 0, 0, s);
    g.setColorAt(0, QColor(60, 130, 230));
    g.setColorAt(1, QColor(10, 44, 140));
    p.setPen(QPen(QColor(6, 24, 80), 1));
    p.setBrush(g);
    p.drawPath(tile);
    // The track along the bottom.
    p.save();
    p.setClipPath(tile);
    p.fillRect(QRectF(0, 24, s, 8), QColor(190, 64, 46));
    p.setPen(QPen(QColor(255, 255, 255), 1));
    p.drawLine(QPointF(0, 27.5), QPointF(s, 27.5));
    p.restore();
    QPen pen(Qt::white, 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(19.5, 6.5), 2.6, 2.6);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(17.5, 11), QPointF(14, 17.5));
    p.drawPolyline(QVector<QPointF>{{8, 13}, {12.5, 11}, {17.5, 11}, {20.5, 15}, {25, 13.5}});
    p.drawPolyline(QVector<QPointF>{{14, 17.5}, {19, 21}, {18, 26}});
    p.drawPolyline(QVector<QPointF>{{14, 17.5}, {11, 22}, {6, 23}});
    // A gold star in the corner: a score well earned.
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
      const double r = i % 2 ? 2.2 : 5.0, a = -M_PI / 2 + i * M_PI / 5;
      const QPointF pt(6.5 + r * std::cos(a), 7 + r * std::sin(a));
      i ? star.lineTo(pt) : star.moveTo(pt);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(150, 90, 0), 0.8));
    p.setBrush(QColor(255, 214, 60));
    p.drawPath(star);
  }
  // Sixteen colours: the icon's own palette.
  const QList<QRgb> palette = {qRgb(0, 0, 0),       qRgb(6, 24, 80),    qRgb(10, 44, 140),   qRgb(24, 70, 170),
                               qRgb(40, 100, 200),  qRgb(60, 130, 230), qRgb(120, 160, 220), qRgb(190, 210, 240),
                               qRgb(255, 255, 255), qRgb(190, 64, 46),  qRgb(140, 50, 50),   qRgb(230, 150, 130),
                               qRgb(255, 214, 60),  qRgb(150, 90, 0),   qRgb(100, 90, 120),  qRgb(160, 160, 170)};
  QImage indexed = img.convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
  QImage out = indexed.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < s; ++y)
    for (int x = 0; x < s; ++x) {
      const QRgb c = out.pixel(x, y);
      out.setPixel(x, y, qAlpha(img.pixel(x, y)) >= 128 ? qRgba(qRed(c), qGreen(c), qBlue(c), 255) : 0);
    }
  return out;
}

bool save(const QImage& img, const QString& dir, const char* file, const char* format, int quality = -1) {
  const QString path = QDir(dir).filePath(QString::fromLatin1(file));
  if (!img.save(path, format, quality)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/pictures");
  QDir().mkpath(dir);
  // Bitmaps go out as 24 bits a pixel: Qt writes 32-bit images that way.
  bool ok = save(drawSplash(), dir, "ty_flash.jpg", "JPG", 92);
  ok = save(drawFrameIcon(), dir, "ty.ico", "ICO") && ok;
  ok = save(drawFramePicture(), dir, "main.bmp", "BMP") && ok;
  const char* const grades = "123";
  for (int i = 0; i < 3; ++i) {
    const QChar d = QLatin1Char(grades[i]);
    ok = save(drawItemSettings(d), dir, qPrintable(QStringLiteral("xm_%1.bmp").arg(d)), "BMP") && ok;
    ok = save(drawCalculator(d), dir, qPrintable(QStringLiteral("cj_%1.bmp").arg(d)), "BMP") && ok;
  }
  ok = save(drawGraduation(), dir, "by.bmp", "BMP") && ok;
  ok = save(drawArrow(81, 30, 0), dir, "arrow1.bmp", "BMP") && ok;
  ok = save(drawArrow(30, 81, 90), dir, "arrow2.bmp", "BMP") && ok;
  ok = save(drawArrow(81, 30, 180), dir, "arrow3.bmp", "BMP") && ok;
  return ok ? 0 : 1;
}
