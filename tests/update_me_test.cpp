// Tests of the update check on scripted requests: what it sends, and how it
// reads the version file.
#include <sys/mman.h>
#include <unistd.h>

#include <limits>

#include <QSignalSpy>
#include <QTest>

#include "hc.h"
#include "inet.h"
#include "scripted_http_request.h"
#include "update_me.h"

using namespace tessaly;

namespace {

const QString kUrl = QStringLiteral("http://127.0.0.1:9/chengyu/download/ver.ini");
constexpr double kInfinity = std::numeric_limits<double>::infinity();

// GuardedText is a long text of which only the start can be read: `start`
// followed by `fill` up to the end of the readable pages, then inaccessible
// pages up to `size` characters. Reading past the readable part faults.
class GuardedText {
 public:
  GuardedText(const QString& start, QChar fill, qsizetype size) : m_size(size) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    m_bytes = (static_cast<size_t>(size) * sizeof(char16_t) + page - 1) / page * page;
    void* base = mmap(nullptr, m_bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) qFatal("mmap failed");
    m_base = static_cast<char16_t*>(base);
    const size_t readable = 2 * page;
    if (mprotect(m_base, readable, PROT_READ | PROT_WRITE) != 0) qFatal("mprotect failed");
    const size_t chars = readable / sizeof(char16_t);
    for (size_t i = 0; i < chars; ++i) {
      m_base[i] = i < size_t(start.size()) ? start[qsizetype(i)].unicode() : fill.unicode();
    }
  }
  ~GuardedText() { munmap(m_base, m_bytes); }
  GuardedText(const GuardedText&) = delete;             // owns a mapping
  GuardedText& operator=(const GuardedText&) = delete;  // owns a mapping

  QStringView view() const { return QStringView(m_base, m_size); }
  static qsizetype readableChars() { return 2 * sysconf(_SC_PAGESIZE) / qsizetype(sizeof(char16_t)); }

 private:
  char16_t* m_base = nullptr;
  size_t m_bytes = 0;
  qsizetype m_size = 0;
};

}  // namespace

class UpdateMeTest : public QObject {
  Q_OBJECT

 private slots:
  void versionDecisions_data();
  void versionDecisions();
  void leadingNumber_data();
  void leadingNumber();
  void leadingNumberReadsOnlyWhatCounts_data();
  void leadingNumberReadsOnlyWhatCounts();
};

void UpdateMeTest::versionDecisions_data() {
  QTest::addColumn<QByteArray>("reply");
  QTest::addColumn<int>("minor");
  QTest::addColumn<bool>("newer");
  QTest::newRow("1.24") << QByteArray("1.24") << 23 << true;
  QTest::newRow("1.23") << QByteArray("1.23") << 23 << false;
  QTest::newRow("1.22") << QByteArray("1.22") << 23 << false;
  QTest::newRow("1.3") << QByteArray("1.3") << 23 << true;
  QTest::newRow("1.100") << QByteArray("1.100") << 23 << false;
  QTest::newRow("1.24 CR LF") << QByteArray("1.24\r\n") << 23 << true;
  QTest::newRow("1.2 CR LF 5") << QByteArray("1.2\r\n5") << 23 << true;
  QTest::newRow("spaces") << QByteArray("1 . 24") << 23 << true;
  QTest::newRow("letter first") << QByteArray("v1.24") << 23 << false;
  QTest::newRow("1.23 for 1.5") << QByteArray("1.23") << 5 << false;
  QTest::newRow("doctype page") << QByteArray("<!DOCTYPE html><title>9.99</title>") << 23 << false;
  QTest::newRow("warning page") << QByteArray("9.99<br /><b>Warning</b>: include(): failed") << 23 << false;
  QByteArray noise;
  quint32 x = 12345;
  for (int i = 0; i < 64 * 1024; ++i) {
    x = x * 1103515245u + 12345u;
    noise += char(x >> 24);
  }
  noise[0] = 'v';  // whatever else it holds, it does not begin with a number
  QTest::newRow("random bytes") << noise << 23 << false;
  QTest::newRow("largest reply of digits") << QByteArray(kMaxReplyBytes, '9') << 23 << true;
}

void UpdateMeTest::versionDecisions() {
  QFETCH(QByteArray, reply);
  QFETCH(int, minor);
  QFETCH(bool, newer);
  HttpScripts scripts;
  UpDateMe check(scripts.factory());
  QSignalSpy update(&check, &UpDateMe::GetUpdate);
  check.StartSearch(kUrl, 1, minor);
  // Task 1's request; element 0 of HC came first. The version file is asked
  // for with a POST and an empty body.
  HttpScript& s = *scripts.made.at(1);
  QCOMPARE(s.calls.size(), size_t(3));
  QCOMPARE(s.calls[1], "open POST " + kUrl.toStdString());
  QCOMPARE(s.calls[2], std::string("send "));
  Complete(s, 200, reply);
  check.HC1().Inet1(1)->poll();
  QCOMPARE(update.count(), newer ? 1 : 0);
}

void UpdateMeTest::leadingNumber_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<double>("number");
  QTest::newRow("version") << "1.24" << 1.24;
  QTest::newRow("stops at letters") << "1.3abc" << 1.3;
  QTest::newRow("second point stops") << "1.2.3" << 1.2;
  QTest::newRow("letter first") << "v1.24" << 0.0;
  QTest::newRow("empty") << "" << 0.0;
  QTest::newRow("point alone") << "." << 0.0;
  QTest::newRow("sign alone") << "-x" << 0.0;
  QTest::newRow("sign") << "-2.5x" << -2.5;
  QTest::newRow("leading point") << ".5" << 0.5;
  QTest::newRow("trailing point") << "1." << 1.0;
  // Long numbers read as the whole of them would.
  QTest::newRow("leading zeros") << QString(1000, u'0') + "1.3" << 1.3;
  QTest::newRow("too large") << QString(1000, u'9') << kInfinity;
  QTest::newRow("too large, negative") << "-" + QString(1000, u'9') << -kInfinity;
  QTest::newRow("long fraction") << "1." + QString(1000, u'1') << 1.1111111111111112;
  QTest::newRow("too small") << "0." + QString(400, u'0') + "1" << 0.0;
  QTest::newRow("smallest") << "0." + QString(323, u'0') + "5" << 5e-324;
  // 2^53 + 1 lies half-way between two doubles: even rounds down, and any
  // non-zero digit however far behind rounds up.
  QTest::newRow("tie") << "9007199254740993." + QString(1000, u'0') << 9007199254740992.0;
  QTest::newRow("tie broken far behind") << "9007199254740993." + QString(1000, u'0') + "1"
                                         << 9007199254740994.0;
}

void UpdateMeTest::leadingNumber() {
  QFETCH(QString, text);
  QFETCH(double, number);
  QCOMPARE(LeadingNumber(text), number);
}

void UpdateMeTest::leadingNumberReadsOnlyWhatCounts_data() {
  QTest::addColumn<QString>("start");
  QTest::addColumn<QChar>("fill");
  QTest::addColumn<double>("number");
  QTest::newRow("integer digits") << "" << QChar(u'9') << kInfinity;
  QTest::newRow("fraction digits") << "1." << QChar(u'1') << 1.1111111111111112;
  QTest::newRow("zeros after the point") << "0." << QChar(u'0') << 0.0;
}

void UpdateMeTest::leadingNumberReadsOnlyWhatCounts() {
  // Millions of digits, of which only the first few thousand can be read:
  // reading a character that cannot change the result faults.
  QFETCH(QString, start);
  QFETCH(QChar, fill);
  QFETCH(double, number);
  const GuardedText text(start, fill, kMaxReplyBytes);
  QVERIFY(GuardedText::readableChars() > 1000);
  QCOMPARE(LeadingNumber(text.view()), number);
}

QTEST_GUILESS_MAIN(UpdateMeTest)
#include "update_me_test.moc"
