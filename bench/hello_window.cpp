// The yardstick of the window's start: a Chinese hello-world main window,
// a QMainWindow with a menu bar of one Chinese menu, a Chinese label and a
// query box, shown and focused. It ends at the first pass of the event
// loop after that, as window_ready does, and in the same way.
#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.menuBar()->addMenu(QStringLiteral("帮助"))->addAction(QStringLiteral("关于"));
  auto* client = new QWidget(&window);
  auto* layout = new QVBoxLayout(client);
  layout->addWidget(new QLabel(QStringLiteral("你好，世界"), client));
  auto* box = new QLineEdit(client);
  layout->addWidget(box);
  window.setCentralWidget(client);
  window.show();
  box->setFocus();
  QTimer::singleShot(0, &app, [] {
    std::fflush(nullptr);
    std::_Exit(0);
  });
  return QApplication::exec();
}
