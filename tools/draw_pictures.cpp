// Draws the program's own pictures, so that every picture it ships is made here.

#include <QDir>
#include <QFont>
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

QImage drawSplash() {
  const int w = 760, h = 481;
  QImage img(w, h, QImage::Format_RGB32);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);

  QLinearGradient sky(0, 0, 0, h);
  sky.setColorAt(0.0, QColor(8, 34, 96));
  sky.setColorAt(0.55, QColor(20, 86, 170));
  sky.setColorAt(1.0, QColor(10, 40, 110));
  p.fillRect(img.rect(), sky);

  QRadialGradient glow(QPointF(w * 0.72, h * 0.30), w * 0.55);
  glow.setColorAt(0, QColor(120, 190, 255, 110));
  glow.setColorAt(1, QColor(120, 190, 255, 0));
  p.fillRect(img.rect(), glow);

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

  cjk.setPixelSize(17);
  cjk.setBold(false);
  p.setFont(cjk);
  p.setPen(QColor(220, 235, 255));
  p.drawText(QPointF(52, 236), QStringLiteral("项目成绩 · 学年总分 · 等级评定 · 毕业成绩"));

  latin.setPixelSize(13);
  latin.setBold(false);
  p.setFont(latin);
  p.setPen(QColor(255, 255, 255, 200));
  p.drawText(QRectF(0, h - 28, w - 16, 20), Qt::AlignRight | Qt::AlignVCenter,
             QStringLiteral("Version 1.0"));
  return img;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("resources/pictures");
  QDir().mkpath(dir);
  const QString path = QDir(dir).filePath(QStringLiteral("ty_flash.jpg"));
  if (!drawSplash().save(path, "JPG", 92)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return 1;
  }
  std::printf("%s\n", qPrintable(path));
  return 0;
}
