#include "widgets/Resources.h"

#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QSvgRenderer>

static void InitWidgetsResources() { Q_INIT_RESOURCE(resources); }

namespace widgets {
namespace {

QPixmap Render(const QString& path, QSize size = {}) {
  QSvgRenderer renderer(path);
  if (!renderer.isValid()) return {};
  if (size.isEmpty()) size = renderer.defaultSize();
  QPixmap pixmap(size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

// An icon drawn from its picture the first time it is asked for: a window
// full of buttons shows without waiting for pictures nobody has looked at
// yet.  Once drawn it is the icon the pixmaps make.
class LazyIconEngine : public QIconEngine {
 public:
  LazyIconEngine(QString path, QList<QSize> sizes) : path_(std::move(path)), sizes_(std::move(sizes)) {}
  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
    Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
  }
  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().pixmap(size, mode, state);
  }
  QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return Icon().actualSize(size, mode, state);
  }
  QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
    return Icon().availableSizes(mode, state);
  }
  QIconEngine* clone() const override { return new LazyIconEngine(*this); }
  QString key() const override { return QStringLiteral("KvMailLazyIcon"); }

 private:
  QIcon& Icon() {
    if (icon_.isNull()) {
      if (sizes_.isEmpty()) icon_.addPixmap(Render(path_));
      for (const QSize& size : sizes_) icon_.addPixmap(Render(path_, size));
    }
    return icon_;
  }

  QString path_;
  QList<QSize> sizes_;  // empty: the picture's own size
  QIcon icon_;
};

}  // namespace

void InitResources() {
  static const bool done = (InitWidgetsResources(), true);
  (void)done;
}

QPixmap Picture(const QString& name) {
  InitResources();
  // The same pictures come back at every change of the mailbox's state:
  // each is drawn once while the toolkit's pixmap cache keeps it.
  const QString path = ":/pictures/" + name + ".svg";
  QPixmap pixmap;
  if (QPixmapCache::find(path, &pixmap)) return pixmap;
  pixmap = Render(path);
  if (!pixmap.isNull()) QPixmapCache::insert(path, pixmap);
  return pixmap;
}

const QImage& EnvelopePicture(bool read) {
  static const auto make = [](const char* name) {
    QImage image = Picture(name).toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb olive = qRgb(0x80, 0x80, 0x00);
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x)
        if (image.pixel(x, y) == olive) image.setPixel(x, y, qRgba(0, 0, 0, 0));
    return image;
  };
  static const QImage open = make("MailOpenImage"), closed = make("MailClosedImage");
  return read ? open : closed;
}

QIcon Glyph(const QString& name) {
  InitResources();
  return QIcon(new LazyIconEngine(":/glyphs/" + name + ".svg", {}));
}

QCursor ProgramCursor(int number) {
  InitResources();
  struct Shape {
    const char* name;
    int hotX, hotY;
  };
  static constexpr Shape kShapes[] = {{"cHANDGRAB", 16, 14}, {"cDRAGFILE", 1, 1}, {"cHANDPOINT", 10, 3}, {"cDRAGMAIL", 1, 1}};
  if (number < 1 || number > 4) return QCursor(Qt::ArrowCursor);
  const Shape& s = kShapes[number - 1];
  return QCursor(Render(QString(":/cursors/") + s.name + ".svg"), s.hotX, s.hotY);
}

QIcon ProgramIcon() {
  InitResources();
  return QIcon(new LazyIconEngine(":/pictures/kvmail.svg", {{16, 16}, {32, 32}, {48, 48}, {64, 64}, {128, 128}}));
}

QPushButton* GlyphButton(QWidget* parent, const char* name, const QString& caption, const QString& glyph, int x, int y) {
  auto* button = new QPushButton(Glyph(glyph), caption, parent);
  button->setObjectName(name);
  button->setGeometry(x, y, 81, 28);
  button->setAutoDefault(false);
  return button;
}

}  // namespace widgets
