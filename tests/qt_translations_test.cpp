// Tests that Qt's own texts read Chinese once Qt's catalogue is installed.
#include <memory>

#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTranslator>

#include "qt_translations.h"

using namespace tessaly;

namespace {

// The texts of the buttons of a message box like the program's: OK, and
// the details button a failed load adds.
QStringList MessageBoxButtons() {
  QMessageBox box;
  box.setText(QStringLiteral("加载成语文件 cy.dat 失败！"));
  box.setStandardButtons(QMessageBox::Ok);
  box.setDetailedText(QStringLiteral("文件：cy.dat"));
  QStringList texts;
  for (const QPushButton* b : box.findChildren<QPushButton*>()) texts << b->text();
  return texts;
}

// The texts of the query box's context menu.
QStringList ContextMenu() {
  QLineEdit box(QStringLiteral("一心一意"));
  std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
  QStringList texts;
  for (const QAction* a : menu->actions()) texts << a->text();
  return texts;
}

}  // namespace

class QtTranslationsTest : public QObject {
  Q_OBJECT

 private slots:
  void missingCatalogueChangesNothing();
  void qtTextsReadChinese();
};

void QtTranslationsTest::missingCatalogueChangesNothing() {
  QTest::failOnWarning(QRegularExpression(".*"));
  QCOMPARE(InstallQtTranslations(QStringLiteral("/nonexistent")), nullptr);
  QVERIFY(MessageBoxButtons().contains(QStringLiteral("OK")));
}

void QtTranslationsTest::qtTextsReadChinese() {
  QTranslator* translator = InstallQtTranslations();
  QVERIFY2(translator != nullptr, "Qt's qtbase_zh_CN catalogue (qt6-translations-l10n) is missing");
  const QString buttons = MessageBoxButtons().join(u'|');
  QVERIFY2(buttons.contains(QStringLiteral("确定")), qPrintable(buttons));
  QVERIFY2(buttons.contains(QStringLiteral("显示详")), qPrintable(buttons));  // Show Details...
  const QString menu = ContextMenu().join(u'|');
  for (const QString& text : {QStringLiteral("撤"), QStringLiteral("剪切"), QStringLiteral("复制"),
                              QStringLiteral("粘贴")}) {
    QVERIFY2(menu.contains(text), qPrintable(menu));
  }
  QVERIFY2(!menu.contains(QStringLiteral("Undo")), qPrintable(menu));
}

QTEST_MAIN(QtTranslationsTest)
#include "qt_translations_test.moc"
