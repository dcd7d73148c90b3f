// The recipient picker: the users of the Mail Directory on the left, the
// recipients on the right; names move between them by the buttons, by a
// double click or by dragging them from their icons.  It starts from the
// send window's To box and, on OK, writes the recipients back into it.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

#include "mailstore/TMail.h"
#include "widgets/VelForm.h"

namespace compose {

// A list of user names, each drawn after the person icon; a selected entry
// is dragged by its icon to the other list.
class TUserListBox : public QListWidget {
  Q_OBJECT
 public:
  explicit TUserListBox(QWidget* parent = nullptr);
  void SetPartner(TUserListBox* partner) { partner_ = partner; }

 signals:
  // Entries dragged from this list were dropped on its partner.
  void DroppedOnPartner();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool OnSelectedIcon(const QPoint& at) const;
  TUserListBox* partner_ = nullptr;
  QPoint pressedAt_;
  bool pressedOnIcon_ = false;
};

class TUserListDialog : public widgets::TVelForm {
  Q_OBJECT
 public:
  TUserListDialog(mailstore::TMail& mail, QWidget* parent = nullptr);

  // Lists the users; reports through the store's user what went wrong.
  void FillUsers();
  // Takes over the names of a To box and counts them.
  void TakeOver(const QString& toBox);
  // Puts `name` on the right: a name longer than 8 characters is ignored.
  void TakeOverRecipient(const QString& name);
  // The To box text of the recipients: sorted, a blank between them, a name
  // with a blank in double quotes.
  QString RecipientText() const;

  void CopyRightButtonClick();
  void CopyLeftButtonClick();

  TUserListBox *UserList, *RecipientList;
  QToolButton *CopyRightButton, *CopyLeftButton;
  QLabel* RecipientCount;
  QPushButton *OkButton, *CancelButton, *HelpButton;

 private:
  void Move(TUserListBox* from, TUserListBox* to);
  void UpdateButtons();

  mailstore::TMail& mail_;
};

// Runs the picker on `toBox`.
void ShowRecipientDialog(QLineEdit& toBox, mailstore::TMail& mail, QWidget* parent = nullptr);

}  // namespace compose
