// The program of the window tests: `window_test NAME [Qt Test options]`
// runs the test class NAME; without a name, every class in turn.
#include <cstring>
#include <vector>

#include <QApplication>
#include <QTest>

#include "window_test_util.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  std::vector<char*> args{argv[0]};
  for (int i = only != nullptr ? 2 : 1; i < argc; ++i) args.push_back(argv[i]);
  int failed = 0;
  bool ran = false;
  for (const auto& [name, make] : tessaly::WindowTests()) {
    if (only != nullptr && std::strcmp(only, name) != 0) continue;
    ran = true;
    const std::unique_ptr<QObject> test = make();
    failed += QTest::qExec(test.get(), static_cast<int>(args.size()), args.data());
  }
  if (!ran) qFatal("no window test class %s", only);
  return failed == 0 ? 0 : 1;
}
