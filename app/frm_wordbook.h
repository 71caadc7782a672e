// FrmWordbook: the 生词本 window. Lists the idioms the user keeps, with a
// box that narrows the list and commands to show an idiom in the main
// window or to remove idioms. Not modal; owned by the main window, which
// keeps the 生词本 and tells this window what it holds; closing it
// destroys it.
#pragma once

#include <string>
#include <vector>

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace tessaly {

class FrmWordbook : public QWidget {
  Q_OBJECT

 public:
  explicit FrmWordbook(QWidget* owner);

  // setIdioms shows `idioms`, oldest first, as far as the filter lets
  // them; the selection stays on the idiom it was on where that is still
  // listed.
  void setIdioms(const std::vector<std::u16string>& idioms);

 signals:
  // openIdiom asks the main window to show `idiom`.
  void openIdiom(const QString& idiom);
  // removeIdioms asks the main window to remove `idioms` from the 生词本.
  void removeIdioms(const QStringList& idioms);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Refill();
  void CmdOpen_Click();
  void CmdRemove_Click();

  QStringList m_idioms;
  QLineEdit* TxtFilter = nullptr;  // narrows the list to idioms holding its text
  QListWidget* List1 = nullptr;    // the idioms kept, oldest first
  QLabel* Label1 = nullptr;        // how many are kept, and listed
  QPushButton* CmdOpen = nullptr;
  QPushButton* CmdRemove = nullptr;
  bool m_placed = false;
};

}  // namespace tessaly
