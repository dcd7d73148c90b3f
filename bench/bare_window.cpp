// The peer of the program's start: a bare Qt Widgets window with a caption.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle("Bare Qt Window");
  window.resize(537, 397);
  window.show();
  return app.exec();
}
