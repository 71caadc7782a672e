// Tests of the update check's reading of the version file.
#include <QTest>

#include "update_me.h"

using namespace tessaly;

class UpdateMeTest : public QObject {
  Q_OBJECT

 private slots:
  void leadingNumber_data();
  void leadingNumber();
};

void UpdateMeTest::leadingNumber_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("number");
  QTest::newRow("version") << "1.24" << 1.24;
  QTest::newRow("stops at letters") << "1.3abc" << 1.3;
  QTest::newRow("second point stops") << "1.2.3" << 1.2;
  QTest::newRow("letter first") << "v1.24" << 0.0;
  QTest::newRow("empty") << "" << 0.0;
  QTest::newRow("point alone") << "." << 0.0;
  QTest::newRow("sign") << "-2.5x" << -2.5;
  QTest::newRow("leading point") << ".5" << 0.5;
}

void UpdateMeTest::leadingNumber() {
  QFETCH(QString, text);
  QFETCH(double, number);
  QCOMPARE(LeadingNumber(text), number);
}

QTEST_APPLESS_MAIN(UpdateMeTest)
#include "update_me_test.moc"
