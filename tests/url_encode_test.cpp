// Tests of the online lookup's address encoding.
#include <QTest>

#include "url_encode.h"

using namespace tessaly;

class UrlEncodeTest : public QObject {
  Q_OBJECT

 private slots:
  void urlEncoding_data();
  void urlEncoding();
};

void UrlEncodeTest::urlEncoding_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("encoded");
  QTest::newRow("empty") << "" << "";
  QTest::newRow("idiom") << "一心一意" << "%E4%B8%80%E5%BF%83%E4%B8%80%E6%84%8F";
  QTest::newRow("full-width comma") << "尚，撞" << "%E5%B0%9A%EF%BC%8C%E6%92%9E";
  QTest::newRow("two-byte") << "\u0101\u00B7" << "%C4%81%C2%B7";
  QTest::newRow("beyond BMP is one character") << "\U00020BB7" << "%F0%A0%AE%B7";
  QTest::newRow("lone surrogate") << QString(QChar(0xD842)) << "%EF%BF%BD";
  QTest::newRow("plain ASCII") << "Abc-_.~/!()*,;:@$09" << "Abc-_.~/!()*,;:@$09";
  QTest::newRow("address characters") << "a b&c#d%e+f=g?h" << "a%20b%26c%23d%25e%2Bf%3Dg%3Fh";
  QTest::newRow("quotes and brackets") << "\"'<>\\^`{|}" << "%22%27%3C%3E%5C%5E%60%7B%7C%7D";
  QTest::newRow("controls") << "\r\n\t\x7F" << "%0D%0A%09%7F";
}

void UrlEncodeTest::urlEncoding() {
  QFETCH(QString, text);
  QFETCH(QString, encoded);
  QCOMPARE(UrlEncodeUtf8(text), encoded);
}

QTEST_APPLESS_MAIN(UrlEncodeTest)
#include "url_encode_test.moc"
