// The program's own pictures: the stock toolbar pictures drawn at run time and the
// picture files it ships.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>
#include <string>

#include "runtime/picture.h"
#include "runtime/picture_decode_p.h"
#include "runtime/runtime_p.h"
#include "runtime/testing.h"
#include "runtime/window.h"
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

// How far two pictures of one size are apart: the largest and the mean difference of a
// channel.
struct Difference {
  int largest = 0;
  double mean = 0;
};
Difference differenceOf(const QImage& a, const QImage& b) {
  const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
  Difference d;
  long long sum = 0;
  for (int row = 0; row < x.height(); ++row)
    for (int col = 0; col < x.width(); ++col) {
      const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
      for (int c : {std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)), std::abs(qBlue(p) - qBlue(q))}) {
        d.largest = std::max(d.largest, c);
        sum += c;
      }
    }
  d.mean = static_cast<double>(sum) / (3.0 * x.width() * x.height());
  return d;
}

// A bitmap decoded straight to a size looks as the whole picture scaled smoothly would, from
// a file on disk and from the program's compressed resources alike, growing or shrinking.
TEST_F(Pictures, ABitmapDecodedAtASizeLooksAsTheWholePictureScaled) {
  struct Case {
    const char* path;
    QSize size;
  };
  const QString disk = shipped("main.bmp");
  const Case cases[] = {
      {":/pictures/main.bmp", {800, 390}},   // the frame picture offscreen: shrunk
      {":/pictures/main.bmp", {1280, 640}},  // on a large screen: grown
      {":/pictures/xm_1.bmp", {90, 98}},     // at its own size
      {":/pictures/arrow1.bmp", {33, 17}},   // rows padded to four bytes, shrunk unevenly
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.path) + " at " + std::to_string(c.size.width()) + "x" + std::to_string(c.size.height()));
    const QImage decoded = rt::detail::decodePictureFile(QString::fromLatin1(c.path), c.size);
    ASSERT_EQ(decoded.size(), c.size);
    const QImage whole(QString::fromLatin1(c.path));
    const Difference d = differenceOf(decoded, whole.scaled(c.size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    if (whole.size() == c.size) {
      EXPECT_EQ(d.largest, 0) << "at its own size the picture is copied pixel for pixel";
    }
    EXPECT_LT(d.mean, 2.0);
  }
  const QImage fromDisk = rt::detail::decodePictureFile(disk, {800, 390});
  EXPECT_EQ(differenceOf(fromDisk, rt::detail::decodePictureFile(":/pictures/main.bmp", {800, 390})).largest, 0);
}

// A bitmap cut short, or not a bitmap, decoded at a size gives no picture rather than one
// half drawn.
TEST_F(Pictures, ABrokenPictureFileDecodesToNothing) {
  QTemporaryDir dir;
  QFile whole(shipped("xm_1.bmp"));
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QByteArray bytes = whole.readAll();
  struct Case {
    const char* name;
    QByteArray content;
  };
  const Case cases[] = {
      {"short.bmp", bytes.left(bytes.size() / 2)},
      {"header-only.bmp", bytes.left(54)},
      {"empty.bmp", {}},
      {"text.bmp", "BM not a bitmap at all"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = dir.filePath(QString::fromLatin1(c.name));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(c.content);
    f.close();
    EXPECT_TRUE(rt::detail::decodePictureFile(path, {45, 49}).isNull());
  }
}

// A picture on disk is found by its file name in any case, in a folder named as it stands,
// whether it is kept for the run or shown at a size.
TEST_F(Pictures, APictureOnDiskIsFoundInItsFolderAsNamed) {
  QTemporaryDir dir;
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Pictures")));
  ASSERT_TRUE(QFile::copy(shipped("xm_1.bmp"), dir.filePath(QStringLiteral("Pictures/Own.bmp"))));
  const std::string name = dir.filePath(QStringLiteral("Pictures/OWN.BMP")).toStdString();
  const rt::detail::SharedPicture shown = rt::detail::shownPicture(name, {45, 49});
  ASSERT_TRUE(shown);
  EXPECT_EQ(shown->size(), QSize(45, 49));
  EXPECT_EQ(rt::detail::loadPicture(name).size(), QSize(90, 98));
}

// A window with one picture control over the splash picture (760 x 481 pixels).
struct w_picture : rt::Window {
  RT_CLASS(w_picture)
  static inline bool original = false;
  rt::Ref<rt::Picture> picture;
  w_picture() {
    width = 3000;
    height = 2000;
  }
  void create() override {
    picture = insert<rt::Picture>();
    picture->width = 1861;  // 407 x 269 pixels
    picture->height = 1076;
    picture->picturename = "ty_flash.JPG";
    picture->originalsize = original;
  }
};

TEST_F(Pictures, APictureControlDecodesItsPictureOncePerSizeItShows) {
  using rt::detail::pictureDecodes;
  using rt::detail::picturesLive;
  rt::registerWindow<w_picture>();
  const int before = pictureDecodes("ty_flash.jpg");
  rt::Ref<w_picture> w;
  w_picture::original = false;
  rt::open(w);
  const auto drawn = [&] { return rt::testing::pixelAt(*w, 900, 500); };  // every grab paints the picture
  drawn();
  drawn();
  EXPECT_EQ(pictureDecodes("ty_flash.jpg"), before + 1) << "painted twice at one size";
  EXPECT_EQ(picturesLive("ty_flash.jpg"), 1);
  const QImage shown = w->picture->widget()->grab().toImage();
  const QImage smooth =
      QImage(shipped("ty_flash.jpg")).scaled(shown.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  EXPECT_LT(differenceOf(shown, smooth).mean, 2.0) << "as smooth as the whole picture scaled";
  w->picture->width = 2500;
  drawn();
  drawn();
  EXPECT_EQ(pictureDecodes("ty_flash.jpg"), before + 2) << "a resize decodes once more";
  EXPECT_EQ(picturesLive("ty_flash.jpg"), 1) << "the picture for the old size is let go";
  rt::close(w);
  EXPECT_EQ(picturesLive("ty_flash.jpg"), 0);

  // At its original size the picture is drawn 1 : 1 from the top-left corner, pixel for pixel.
  w_picture::original = true;
  rt::open(w);
  const QImage file = QImage(shipped("ty_flash.jpg")).convertToFormat(QImage::Format_RGB32);
  const QImage original = w->picture->widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  for (const QPoint at : {QPoint(0, 0), QPoint(200, 100), QPoint(406, 268)}) {
    SCOPED_TRACE(std::to_string(at.x()) + "," + std::to_string(at.y()));
    EXPECT_EQ(original.pixel(at), file.pixel(at));
  }
  w->picture->widget()->grab();
  EXPECT_EQ(pictureDecodes("ty_flash.jpg"), before + 3);
  rt::close(w);
}

}  // namespace
