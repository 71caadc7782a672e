// A Qt hello-world window, the yardstick of the window's start: a window
// with a query box, shown and focused, and the program ends as soon as the
// event loop has handled that.
#include <QApplication>
#include <QLineEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  auto* box = new QLineEdit(&window);
  (new QVBoxLayout(&window))->addWidget(box);
  window.show();
  box->setFocus();
  QTimer::singleShot(0, &app, &QApplication::quit);
  return QApplication::exec();
}
