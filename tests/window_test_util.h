// Helpers shared by the window tests, and the one program they run in:
// each test file registers its test class (TESSALY_WINDOW_TEST), and
// `window_test NAME` runs the class NAME (all of them without a name).
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "fake_desktop.h"
#include "frm_main.h"
#include "scripted_http_request.h"
#include "status_strip.h"

namespace tessaly {

// UserFolders is a temporary folder that stands in for the user's data and
// config folders (XDG_DATA_HOME, XDG_CONFIG_HOME) for the whole test
// program: no window test reads or writes the user's own 生词本 or
// settings. Made on first use.
inline const QTemporaryDir& UserFolders() {
  static const QTemporaryDir folders = [] {
    QTemporaryDir dir;
    qputenv("XDG_DATA_HOME", dir.filePath("data").toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toLocal8Bit());
    return dir;
  }();
  return folders;
}

// OfflineServices runs a main window on the bundled data, with an update
// check whose request can never be opened, so no test reaches a network,
// and with settings and a 生词本 in UserFolders().
inline FrmMainServices OfflineServices() {
  // Each window has settings and a 生词本 of its own, so that no test sees
  // another's; a test that needs the user's default files clears these.
  static int windows = 0;
  ++windows;
  FrmMainServices services;
  services.settingsFile = UserFolders().filePath(QStringLiteral("settings-%1.ini").arg(windows));
  services.wordbookFile = UserFolders().filePath(QStringLiteral("wordbook-%1.txt").arg(windows)).toStdString();
  services.dataFile = std::filesystem::path(TESSALY_BIN_DIR) / "cy.dat";
  auto script = std::make_shared<HttpScript>();
  script->failing.insert("open");
  services.http = ScriptedHttpRequest::Factory(script);
  return services;
}

// TriggerMenu clicks the menu item `name` of `window`.
inline void TriggerMenu(QWidget& window, const char* name) {
  for (QAction* a : window.findChildren<QAction*>()) {
    if (a->objectName() == QLatin1String(name)) a->trigger();
  }
}

// The test classes of the window tests, by name.
using WindowTestClasses = std::vector<std::pair<const char*, std::function<std::unique_ptr<QObject>()>>>;
inline WindowTestClasses& WindowTests() {
  static WindowTestClasses classes;
  return classes;
}

struct RegisterWindowTest {
  RegisterWindowTest(const char* name, std::function<std::unique_ptr<QObject>()> make) {
    WindowTests().emplace_back(name, std::move(make));
  }
};

namespace testing {

inline QString Q(std::u16string_view s) { return QString::fromUtf16(s.data(), s.size()); }

// A table of `size` generated records in memory.
inline IdiomTable Generated(int size) {
  IdiomTable table;
  for (int i = 0; i < size; ++i) {
    const QString line = QStringLiteral("成语%1#cy#chéng yǔ#释义%1#出处#示例").arg(i);
    AppendLine(table, std::u16string_view(reinterpret_cast<const char16_t*>(line.utf16()), line.size()));
  }
  return table;
}

// A main window on the bundled data (or `load`), with an update check that
// never reaches a network.
struct Window {
  explicit Window(std::function<Result<IdiomTable>()> load = {}, std::filesystem::path dataFile = {})
      : Window([&](FrmMainServices& s) {
          if (!dataFile.empty()) s.dataFile = dataFile;
          s.loadTable = std::move(load);
        }) {}
  // A window on OfflineServices as `adjust` changes them.
  explicit Window(const std::function<void(FrmMainServices&)>& adjust) {
    services = OfflineServices();
    adjust(services);
    frm = std::make_unique<FrmMain>(desktop, services);
    loaded = frm->Form_Load();
  }

  template <typename T>
  T* get(const char* name) const {
    T* w = frm->findChild<T*>(QLatin1String(name));
    if (w == nullptr) qFatal("no control %s", name);
    return w;
  }
  QLineEdit* TxtFind() const { return get<QLineEdit>("TxtFind"); }
  QListView* List1() const { return get<QListView>("List1"); }
  QPlainTextEdit* TxtView() const { return get<QPlainTextEdit>("TxtView"); }
  QLabel* Label3() const { return get<QLabel>("Label3"); }
  QPushButton* button(const char* name) const { return get<QPushButton>(name); }
  StatusStrip* Pic() const { return get<StatusStrip>("Pic"); }
  QTimer* Timer1() const { return get<QTimer>("Timer1"); }
  QTimer* Timer(const char* name) const { return get<QTimer>(name); }

  QStringList rows() const {
    QStringList out;
    const auto* model = List1()->model();
    for (int r = 0; r < model->rowCount(); ++r) out << model->index(r, 0).data().toString();
    return out;
  }
  int selectedRow() const {
    const auto selected = List1()->selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.first().row();
  }

  // search types `query` and starts a search with `trigger` (a button's
  // name, a menu item's, or "Enter"), then takes the ticks out of the
  // timer's hands.
  void search(const QString& query, const char* trigger = "Enter") {
    TxtFind()->setText(query);
    if (QLatin1String(trigger) == QLatin1String("Enter")) {
      QTest::keyClick(TxtFind(), Qt::Key_Return);
    } else if (QLatin1String(trigger).startsWith(QLatin1String("menu"))) {
      TriggerMenu(*frm, trigger);
    } else {
      button(trigger)->click();
    }
    Timer1()->stop();
  }
  // tick runs one filling tick, as Timer1 does.
  void tick() { frm->Timer1_Timer(); }
  void fill() {
    for (int i = 0; i < 1000000 && get<QPushButton>("CmdCopy")->text() == QStringLiteral("正在加载"); ++i) {
      tick();
    }
  }

  QAction* action(const char* name) const { return get<QAction>(name); }
  QMenu* menu(const char* name) const { return get<QMenu>(name); }
  // key sends `key` to the widget with the focus, as the keyboard does.
  void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
  }
  QString shown() const { return TxtView()->property("Tag").toString(); }

  FrmMainServices services;
  FakeDesktop desktop;
  std::unique_ptr<FrmMain> frm;
  bool loaded = false;
};

inline QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace testing
}  // namespace tessaly

#define TESSALY_WINDOW_TEST(Class)                                                \
  static const ::tessaly::RegisterWindowTest kRegister##Class(#Class, [] { \
    return std::unique_ptr<QObject>(new Class);                                   \
  });
