#include <QApplication>
#include <QPainter>
#include <QSvgRenderer>
#include <QtTest>
#include <set>

#include "widgets/Balloon.h"
#include "widgets/Label3D.h"
#include "widgets/MailEditor.h"
#include "widgets/ProgramStyle.h"
#include "widgets/Resources.h"
#include "widgets/TextViewer.h"
#include "widgets/VelForm.h"
#include "widgets/VelImage.h"
#include "widgets/VelListBox.h"

using namespace widgets;

namespace {

QPixmap Solid(QSize size, QColor colour) {
  QPixmap p(size);
  p.fill(colour);
  return p;
}

// A parent of a known colour, for what shows through.
struct Backdrop : QWidget {
  Backdrop() {
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(0, 128, 0));
    setPalette(p);
    setAutoFillBackground(true);
    resize(200, 200);
  }
};

QColor At(QWidget& w, int x, int y) { return w.grab().toImage().pixelColor(x, y); }

}  // namespace

class TestControls : public QObject {
  Q_OBJECT
 private slots:
  // Undo and redo are offered once there is something to undo or redo, in a
  // new editor as in one that has been used.
  void theEditorOffersUndoAfterTheFirstEdit() {
    TMailEditor editor;
    editor.show();
    QVERIFY(!editor.CanUndo());
    QTest::keyClicks(&editor, "abc");
    QVERIFY(editor.CanUndo());
    editor.undo();
    QCOMPARE(editor.toPlainText(), QString());
    QVERIFY(!editor.CanUndo());
    QVERIFY(editor.CanRedo());
    editor.redo();
    QCOMPARE(editor.toPlainText(), QString("abc"));
    QVERIFY(editor.CanUndo());
  }

  // What the editor holds goes whole: a paragraph goes as the lines it is
  // shown in, and no line is longer than a message line may be.
  void theEditorsLinesLoseNothing() {
    QString paragraph;
    for (int i = 0; paragraph.size() < 2999; ++i) paragraph += QStringLiteral("word%1 ").arg(i);
    paragraph.truncate(2999);
    const QString unbroken(2999, u'x');
    for (bool wrap : {true, false}) {
      TMailEditor editor;
      editor.resize(400, 200);
      editor.SetWordWrap(wrap);
      editor.setPlainText("first\n" + paragraph + "\n" + unbroken + "\n\tlast");
      editor.show();  // shown, but only its first lines have been on screen
      const std::vector<std::string> lines = editor.StoredLines();
      std::string joined;
      for (const std::string& line : lines) {
        QVERIFY2(line.size() <= 1024, std::to_string(line.size()).c_str());
        joined += line;
      }
      QCOMPARE(QString::fromStdString(joined),
               "first" + paragraph + unbroken + QString(8, u' ') + "last");  // the tab expanded
      QCOMPARE(lines.front(), std::string("first"));
      QCOMPARE(lines.back(), std::string(8, ' ') + "last");
      // Without wrap, a line goes as lines of 1,024 characters; with it,
      // as the lines shown, each far shorter.
      if (!wrap) QCOMPARE(lines.size(), size_t{1 + 3 + 3 + 1});
      else QVERIFY(lines.size() > 20);
    }
  }

  // A disabled button's glyph is grey and faint, unlike the enabled one.
  void aDisabledGlyphIsFaint() {
    widgets::ProgramStyle style(QStringLiteral("Fusion"));
    QPixmap black(16, 16);
    black.fill(Qt::black);
    const QImage faint =
        style.generatedIconPixmap(QIcon::Disabled, black, nullptr).toImage().convertToFormat(QImage::Format_ARGB32);
    const QRgb pixel = faint.pixel(8, 8);
    QVERIFY(qAlpha(pixel) <= 100);
    QVERIFY(qGray(pixel) >= 80);
    const QImage normal = style.generatedIconPixmap(QIcon::Normal, black, nullptr).toImage();
    QCOMPARE(qAlpha(normal.pixel(8, 8)), 255);
  }

  // The program's icons lie wholly inside their square: nothing is cut
  // off where a notification area draws them.
  void theIconsLieInsideTheirSquare() {
    for (const char* name : {"MailFullIcon", "MailEmptyIcon", "kvmail"}) {
      QSvgRenderer svg(QString(":/pictures/%1.svg").arg(name));
      QVERIFY2(svg.isValid(), name);
      svg.setViewBox(QRectF(-16, -16, 64, 64));  // the square and as much again around it
      QImage around(256, 256, QImage::Format_ARGB32);
      around.fill(Qt::transparent);
      QPainter painter(&around);
      svg.render(&painter);
      painter.end();
      const QRect square(64, 64, 128, 128);
      int outside = 0;
      for (int y = 0; y < around.height(); ++y)
        for (int x = 0; x < around.width(); ++x)
          if (!square.contains(x, y) && qAlpha(around.pixel(x, y)) > 0) ++outside;
      QVERIFY2(outside == 0, qPrintable(QString("%1: %2 pixels outside").arg(name).arg(outside)));
    }
  }

  void paletteOnlyOnScreensOf256ColoursOrFewer() {
    QCOMPARE(ScreenColourCount(8), 256LL);
    QCOMPARE(ScreenColourCount(4), 16LL);
    QCOMPARE(ScreenColourCount(24), 16777216LL);
    QCOMPARE(ScreenColourCount(32), 16777216LL);
    TVelForm form;
    QVERIFY(!form.RealizePalette());  // today's screens have more colours
  }

  // Stored on closing, applied at the next start: with a frame round the
  // window, the window opens where it was, not a frame's height lower.
  void aWindowPlacedAsAnotherWasLeftOpensThere() {
    QWidget first;
    first.move(50, 60);
    first.resize(200, 100);
    first.show();
    QVERIFY(QTest::qWaitForWindowExposed(&first));
    QVERIFY(first.frameGeometry() != first.geometry());  // the platform draws a frame
    const shell::Placement left = PlacementOf(first);
    QWidget next;
    Place(next, left);
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QCOMPARE(next.frameGeometry(), first.frameGeometry());
    QCOMPARE(next.geometry(), first.geometry());
    const shell::Placement again = PlacementOf(next);
    QCOMPARE(QRect(again.left, again.top, again.width, again.height), QRect(left.left, left.top, left.width, left.height));
  }

  void imageAutoSizeTakesThePicturesSize() {
    TVelImage image;
    QCOMPARE(image.size(), QSize(105, 105));
    image.SetAutoSize(true);
    image.SetPicture(Solid({32, 32}, Qt::red));
    QCOMPARE(image.size(), QSize(32, 32));
  }

  void imageTransparentShowsTheParent() {
    Backdrop parent;
    auto* image = new TVelImage(&parent);
    QPixmap picture = Solid({20, 20}, Qt::magenta);
    {
      QPainter p(&picture);
      p.fillRect(5, 5, 10, 10, Qt::blue);
    }
    image->SetAutoSize(true);
    image->SetPicture(picture);
    image->SetTransparent(true);
    parent.show();
    QCOMPARE(At(parent, 1, 1), QColor(0, 128, 0));   // magenta, the top-left colour, is see-through
    QCOMPARE(At(parent, 10, 10), QColor(Qt::blue));
  }

  void imageTileStretchAndCenter() {
    Backdrop parent;
    auto* image = new TVelImage(&parent);
    image->resize(40, 40);
    QPixmap picture = Solid({10, 10}, Qt::red);
    {
      QPainter p(&picture);
      p.fillRect(0, 0, 5, 10, Qt::blue);
    }
    image->SetPicture(picture);
    parent.show();
    QCOMPARE(At(parent, 12, 5), QColor(0, 128, 0));  // at the top-left corner only
    image->SetCenter(true);
    QCOMPARE(At(parent, 16, 20), QColor(Qt::blue));
    QCOMPARE(At(parent, 2, 2), QColor(0, 128, 0));
    image->SetStretch(true);
    QCOMPARE(At(parent, 30, 30), QColor(Qt::red));
    QCOMPARE(At(parent, 10, 30), QColor(Qt::blue));
    image->SetTile(true);
    QCOMPARE(At(parent, 12, 2), QColor(Qt::blue));   // the second copy starts at 10
    QCOMPARE(At(parent, 37, 37), QColor(Qt::red));
  }

  void balloonCentresShortTextAndClipsLongText() {
    TBalloon balloon;
    balloon.resize(200, 100);
    balloon.SetCaption("Hi");
    const QRect area = balloon.TextRect();
    const QRect caption = balloon.CaptionRect();
    QVERIFY(caption.height() < area.height());
    QCOMPARE(caption.top() - area.top(), (area.height() - caption.height()) / 2);
    balloon.SetCaption(QString("word ").repeated(200));
    QCOMPARE(balloon.CaptionRect(), balloon.TextRect());
  }

  void balloonDrawsItsBoxAndStem() {
    Backdrop parent;
    auto* balloon = new TBalloon(&parent);
    balloon->setGeometry(0, 0, 120, 60);
    balloon->SetCaption("&Hello");
    parent.show();
    // Left stem: the box starts 12 pixels in; beside the stem the parent shows.
    QCOMPARE(At(parent, 3, 5), QColor(0, 128, 0));
    QCOMPARE(At(parent, 60, 30), QColor(Qt::white));
    QCOMPARE(At(parent, 12, 30), QColor(Qt::white));  // the stem opens into the box
    QCOMPARE(At(parent, 1, 30), QColor(Qt::black));   // its tip on the outer edge

    balloon->stemPos = TBalloonStemPos::spTop;
    balloon->update();
    QCOMPARE(balloon->BoxRect().top(), 12);
    QCOMPARE(At(parent, 20, 5), QColor(0, 128, 0));
    QCOMPARE(At(parent, 60, 1), QColor(Qt::black));
    QCOMPARE(At(parent, 0, 40), QColor(Qt::black));   // the box now reaches the left edge
  }

  void balloonWritesAmpersandsAndLineBreaks() {
    QCOMPARE(WithLineBreaks("a\rb\r\nc"), QString("a\nb\nc"));
    TBalloon balloon;
    balloon.resize(300, 80);
    balloon.SetCaption("A & B");
    const QImage enabled = balloon.grab().toImage();
    balloon.setEnabled(false);
    const QImage disabled = balloon.grab().toImage();
    QVERIFY(enabled != disabled);  // disabled text has its own colour
  }

  void label3DStyles() {
    TLabel3D label("Welcome");
    QCOMPARE(label.Offset(), 1);
    label.SetLabelStyle(TLabelStyle::lsLowered);
    QCOMPARE(label.Offset(), -1);
    label.SetAsButton(true);
    QCOMPARE(label.LabelStyle(), TLabelStyle::lsRaised);
    QCOMPARE(label.Offset(), 1);
    label.resize(100, 30);
    QSignalSpy clicked(&label, &TLabel3D::clicked);
    QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(label.LabelStyle(), TLabelStyle::lsLowered);
    QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(label.LabelStyle(), TLabelStyle::lsRaised);
    QCOMPARE(clicked.count(), 1);
  }

  void listItemHeightRule() {
    QFont small("Arial");
    small.setPointSize(8);
    QCOMPARE(ListItemHeight(small, 96), 18);
    QFont large("Arial");
    large.setPointSize(20);  // 27 pixels: 54 - 20
    QCOMPARE(ListItemHeight(large, 96), 34);
    QFont odd("Arial");
    odd.setPointSize(13);  // 17 pixels: 34 - 13 = 21, made even
    QCOMPARE(ListItemHeight(odd, 96), 20);
  }

  void listDrawsTheOwnersLinesAndErasesBelowThem() {
    TVelListBox list;
    QPalette p = list.palette();
    p.setColor(QPalette::Base, QColor(250, 250, 200));
    p.setColor(QPalette::Highlight, QColor(0, 0, 128));
    p.setColor(QPalette::HighlightedText, QColor(255, 255, 0));
    list.setPalette(p);
    list.resize(200, 200);
    QColor selectedPen, otherPen;
    list.SetDrawItem([&](QPainter& painter, int index, const QRect& rect, bool selected) {
      (selected ? selectedPen : otherPen) = painter.pen().color();
      painter.fillRect(rect.adjusted(0, 0, -rect.width() / 2, 0), QColor(200, 0, 0));
      (void)index;
    });
    list.SetLines({"one", "two"});
    list.setCurrentRow(1);
    list.show();
    const QImage shot = list.viewport()->grab().toImage();
    const int h = list.ItemHeight();
    QCOMPARE(list.RowRect(1).height(), h);
    QCOMPARE(shot.pixelColor(5, h / 2), QColor(200, 0, 0));             // the owner's drawing
    QCOMPARE(shot.pixelColor(150, h + h / 2), QColor(0, 0, 128));       // selected: the selection colour
    QCOMPARE(shot.pixelColor(150, h / 2), QColor(250, 250, 200));
    QCOMPARE(shot.pixelColor(100, 3 * h + 10), QColor(250, 250, 200));  // below the last line
    QCOMPARE(selectedPen, QColor(255, 255, 0));
    QCOMPARE(otherPen, p.color(QPalette::Text));
  }

  // A long list makes only the lines it shows; a line set alone wins over
  // its source until the lines are replaced.
  void listMakesOnlyTheLinesItShows() {
    TVelListBox list;
    list.resize(200, 100);
    std::set<int> made;
    list.SetLines(100000, [&made](int row) {
      made.insert(row);
      return "line " + std::to_string(row);
    });
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.viewport()->grab();
    QCOMPARE(list.count(), 100000);
    QVERIFY(!made.empty());
    QVERIFY2(made.size() < 50, qPrintable(QString::number(made.size())));
    QVERIFY(*made.rbegin() < 50);

    list.SetLine(7, "changed");
    QCOMPARE(list.Line(7), std::string("changed"));
    QCOMPARE(list.Line(99999), std::string("line 99999"));
    QVERIFY_THROWS_EXCEPTION(std::out_of_range, list.Line(100000));
    list.SetLines({"a", "b", "c", "d", "e", "f", "g", "h"});
    QCOMPARE(list.Line(7), std::string("h"));
  }

  // The viewer's tab stops stay so many spaces of its font when the font
  // changes (the preferences give the reading pane another one).
  void viewerTabsFollowItsFont() {
    TTextViewer viewer;
    QFont small("Courier New");
    small.setPointSize(10);
    viewer.setFont(small);
    QCOMPARE(viewer.tabStopDistance(), 8 * QFontMetricsF(small).horizontalAdvance(' '));
    QFont large = small;
    large.setPointSize(24);
    viewer.setFont(large);
    QCOMPARE(viewer.tabStopDistance(), 8 * QFontMetricsF(large).horizontalAdvance(' '));
    viewer.SetTabSize(4);
    viewer.setFont(small);
    QCOMPARE(viewer.tabStopDistance(), 4 * QFontMetricsF(small).horizontalAdvance(' '));
  }

  void viewerOperations() {
    QTemporaryDir dir;
    const QString path = dir.filePath("0001ABCD.MSG");
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("caf\xE9\r\nline two\r\n\tthree\r\n");
    f.close();
    TTextViewer viewer;
    QSignalSpy status(&viewer, &TTextViewer::StatusChanged);
    QVERIFY(!viewer.IsOpen());
    QCOMPARE(viewer.OpenFile(path), 0);
    QVERIFY(viewer.IsOpen());
    QCOMPARE(viewer.LineCount(), 3);
    QCOMPARE(viewer.Line(0), QString::fromUtf8("café"));
    viewer.SetLine(1, "LINE TWO");
    QCOMPARE(viewer.Line(1), QString("LINE TWO"));
    viewer.SelectEverything();
    QVERIFY(viewer.HasSelection());
    QCOMPARE(viewer.SelectedText(), QString::fromUtf8("café\nLINE TWO\n\tthree"));
    viewer.MoveCaretToLine(2);
    QVERIFY(!viewer.HasSelection());
    QVERIFY(status.count() >= 3);
    QCOMPARE(viewer.OpenFile(dir.filePath("none.MSG")), 2);
    QVERIFY(!viewer.IsOpen());
    QCOMPARE(viewer.LineCount(), 0);
  }

  void everyResourceLoads() {
    for (const char* name : {"GUARDO", "MailOpenImage", "MailClosedImage", "MailFullIcon", "MailEmptyIcon", "Splash",
                             "SmallEnvelope"})
      QVERIFY2(!Picture(name).isNull(), name);
    QCOMPARE(Picture("MailOpenImage").size(), QSize(16, 16));
    QCOMPARE(Picture("MailFullIcon").size(), QSize(32, 32));
    QCOMPARE(Picture("Splash").size(), QSize(103, 149));
    QCOMPARE(Picture("MailClosedImage").toImage().pixelColor(0, 0), QColor(0x80, 0x80, 0));  // olive: see-through
    for (int n = 1; n <= 4; ++n) QVERIFY(!ProgramCursor(n).pixmap().isNull());
    // Icons are drawn when first asked for: ask, and a missing picture shows.
    QVERIFY(!Glyph("ok").pixmap(16, 16).isNull());
    QVERIFY(Glyph("no such glyph").pixmap(16, 16).isNull());
    QCOMPARE(ProgramIcon().availableSizes().size(), 5);
    QVERIFY(!ProgramIcon().pixmap(48, 48).isNull());
  }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
