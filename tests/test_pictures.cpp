// The program's own pictures: the stock toolbar pictures drawn at run time and the
// picture files it ships.

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QtEndian>
#include <string>

#include "runtime/runtime_p.h"
#include "runtime/testing.h"
#include "support/datasource.h"

namespace {

using rt::detail::stockIcon;

class Pictures : public ::testing::Test {
 protected:
  rt::testing::Session session;
};

const char* const kStockNames[] = {"Exit!",   "Custom079!", "FullBuild!", "Properties!", "EditObject!",
                                   "RunSCC!", "OleGenReg!", "Save!",      "Close!",      "Form!"};

// Opaque pixels of at least two colours: a drawn picture, not an empty or flat square.
bool hasDrawing(const QImage& image) {
  QSet<QRgb> colours;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) {
      const QRgb c = image.pixel(x, y);
      if (qAlpha(c) == 255) colours.insert(c);
    }
  return colours.size() > 1;
}

TEST_F(Pictures, EveryStockNameGivesADrawnIconAtEverySize) {
  for (const char* name : kStockNames) {
    SCOPED_TRACE(name);
    const QIcon icon = stockIcon(name);
    ASSERT_FALSE(icon.isNull());
    const QImage at24 = icon.pixmap(24, 24).toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(at24.size(), QSize(24, 24));
    EXPECT_TRUE(hasDrawing(at24));
    const QList<QSize> sizes = icon.availableSizes();
    for (int s : {16, 24, 32, 48}) EXPECT_TRUE(sizes.contains(QSize(s, s))) << s;
  }
}

TEST_F(Pictures, StockNamesMatchInAnyCase) {
  const QImage exact = stockIcon("Exit!").pixmap(24, 24).toImage();
  for (const char* name : {"exit!", "EXIT!", "eXiT!"}) {
    SCOPED_TRACE(name);
    const QIcon icon = stockIcon(name);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.pixmap(24, 24).toImage(), exact);
  }
}

TEST_F(Pictures, StockPicturesAreDistinct) {
  QList<QImage> seen;
  for (const char* name : kStockNames) {
    const QImage image = stockIcon(name).pixmap(24, 24).toImage();
    EXPECT_FALSE(seen.contains(image)) << name << " looks like another stock picture";
    seen.append(image);
  }
}

TEST_F(Pictures, UnknownStockNameGivesNoIcon) {
  for (const char* name : {"Nothing!", "Exit", "Exit!!", "", "!"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(stockIcon(name).isNull());
  }
}

QString shipped(const char* file) {
  return QString::fromStdString(support::sourceDir()) + QStringLiteral("/resources/pictures/") +
         QString::fromLatin1(file);
}

// Bits per pixel from a BMP file's header.
int bmpBitCount(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  const QByteArray head = f.read(30);
  if (head.size() < 30 || !head.startsWith("BM")) return -1;
  return qFromLittleEndian<quint16>(head.constData() + 28);
}

struct ShippedPicture {
  const char* file;
  QSize size;
};

const ShippedPicture kShipped[] = {
    {"ty_flash.jpg", {760, 481}}, {"ty.ico", {32, 32}},   {"main.bmp", {1016, 712}}, {"xm_1.bmp", {90, 98}},
    {"xm_2.bmp", {90, 98}},       {"xm_3.bmp", {90, 98}}, {"cj_1.bmp", {90, 98}},    {"cj_2.bmp", {90, 98}},
    {"cj_3.bmp", {90, 98}},       {"by.bmp", {90, 98}},   {"arrow1.bmp", {81, 30}},  {"arrow2.bmp", {30, 81}},
    {"arrow3.bmp", {81, 30}},
};

TEST_F(Pictures, ShippedPicturesHaveTheSizeOfTheirRole) {
  for (const auto& pic : kShipped) {
    SCOPED_TRACE(pic.file);
    const QString path = shipped(pic.file);
    QImageReader reader(path);
    const QImage image = reader.read();
    ASSERT_FALSE(image.isNull()) << reader.errorString().toStdString();
    EXPECT_EQ(image.size(), pic.size);
    EXPECT_TRUE(hasDrawing(image.convertToFormat(QImage::Format_ARGB32)));
    if (path.endsWith(QLatin1String(".bmp"))) {
      EXPECT_EQ(bmpBitCount(path), 24);
    }
  }
}

TEST_F(Pictures, FrameIconIsAnIconOfSixteenColours) {
  QImageReader reader(shipped("ty.ico"));
  EXPECT_EQ(reader.format(), QByteArray("ico"));
  const QImage icon = reader.read().convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(icon.isNull());
  QSet<QRgb> colours;
  for (int y = 0; y < icon.height(); ++y)
    for (int x = 0; x < icon.width(); ++x) {
      const QRgb c = icon.pixel(x, y);
      EXPECT_TRUE(qAlpha(c) == 0 || qAlpha(c) == 255) << "at " << x << "," << y;
      if (qAlpha(c) == 255) colours.insert(c);
    }
  EXPECT_LE(colours.size(), 16);
}

TEST_F(Pictures, StartPagePicturesAreDistinctAndSitOnThePageColour) {
  const QRgb page = qRgb(255, 251, 240);
  QList<QImage> seen;
  for (const char* file : {"xm_1.bmp", "xm_2.bmp", "xm_3.bmp", "cj_1.bmp", "cj_2.bmp", "cj_3.bmp", "by.bmp",
                           "arrow1.bmp", "arrow2.bmp", "arrow3.bmp"}) {
    SCOPED_TRACE(file);
    const QImage image = QImage(shipped(file)).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(image.isNull());
    EXPECT_FALSE(seen.contains(image));
    seen.append(image);
    EXPECT_EQ(image.pixel(0, 0), page);
    EXPECT_EQ(image.pixel(image.width() - 1, 0), page);
  }
}

}  // namespace
