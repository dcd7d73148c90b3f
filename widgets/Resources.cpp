#include "widgets/Resources.h"

#include <QFile>
#include <QPainter>
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

}  // namespace

void InitResources() {
  static const bool done = (InitWidgetsResources(), true);
  (void)done;
}

QPixmap Picture(const QString& name) {
  InitResources();
  return Render(":/pictures/" + name + ".svg");
}

QIcon Glyph(const QString& name) {
  InitResources();
  QIcon icon;
  icon.addPixmap(Render(":/glyphs/" + name + ".svg"));
  return icon;
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
  QIcon icon;
  for (int size : {16, 32, 48, 64, 128}) icon.addPixmap(Render(":/pictures/kvmail.svg", QSize(size, size)));
  return icon;
}

QPushButton* GlyphButton(QWidget* parent, const char* name, const QString& caption, const QString& glyph, int x, int y) {
  auto* button = new QPushButton(Glyph(glyph), caption, parent);
  button->setObjectName(name);
  button->setGeometry(x, y, 81, 28);
  button->setAutoDefault(false);
  return button;
}

}  // namespace widgets
