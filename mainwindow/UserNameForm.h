// The user-name form: who is using this copy, and their password.
//
// Two pages: "Name" and "Password".  Both boxes upper-case every key typed.
// OK on the Name page accepts a user of the user list, going on to the
// Password page when the user has a password; OK on the Password page
// accepts the user's own password or the supervisor's.  Cancel on the
// Password page goes back to an empty Name page; on the Name page, and the
// close box on either page, it gives up.
#pragma once

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <functional>
#include <memory>

#include "mailstore/TMail.h"
#include "shell/Login.h"
#include "widgets/Label3D.h"
#include "widgets/VelForm.h"
#include "widgets/VelImage.h"

namespace mainwindow {

class TUserNameForm : public widgets::TVelForm, public shell::UserNameForm {
  Q_OBJECT
 public:
  // `mail` answers who the users are; `supervisorPassword` (may be empty)
  // opens every mailbox.
  TUserNameForm(mailstore::TMail& mail, std::string supervisorPassword, QWidget* parent = nullptr);

  // shell::UserNameForm
  void OpenOnPasswordPage(const std::string& name, const std::string& stored) override;
  void OpenOnNamePage() override;
  bool Execute(std::string& name, std::string& password) override;

  widgets::TVelImage* SplashImage;
  widgets::TLabel3D* Label3D1;
  QFrame* Shape1;
  QFrame* Bevel1;
  QStackedWidget* Notebook;
  QLineEdit* NameBox;
  QLabel* PasswordPrompt;
  QLineEdit* PasswordBox;
  QPushButton* OkButton;
  QPushButton* CancelButton;
  QPushButton* HelpButton;

  bool OnPasswordPage() const { return Notebook->currentIndex() == 1; }

  void OkButtonClick();
  void CancelButtonClick();
  void HelpButtonClick();
  void NameBoxChange();
  void PasswordBoxChange();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ShowPasswordPage();
  void SetOkEnabled(bool enabled);

  mailstore::TMail& mail_;
  std::string supervisorPassword_;
  std::string StoredPassword;
};

// The form made only when the login shows it: a user named on the command
// line who has no password never needs it, and the start does not wait for
// it.  `beforeShown`, when given, runs each time before the form shows.
class UserNameFormWhenShown : public shell::UserNameForm {
 public:
  UserNameFormWhenShown(mailstore::TMail& mail, std::string supervisorPassword, QWidget* parent,
                        std::function<void()> beforeShown = {})
      : mail_(mail),
        supervisorPassword_(std::move(supervisorPassword)),
        parent_(parent),
        beforeShown_(std::move(beforeShown)) {}

  void OpenOnPasswordPage(const std::string& name, const std::string& stored) override {
    Form().OpenOnPasswordPage(name, stored);
  }
  void OpenOnNamePage() override { Form().OpenOnNamePage(); }
  bool Execute(std::string& name, std::string& password) override {
    if (beforeShown_) beforeShown_();
    return Form().Execute(name, password);
  }

 private:
  TUserNameForm& Form();

  mailstore::TMail& mail_;
  std::string supervisorPassword_;
  QWidget* parent_;
  std::function<void()> beforeShown_;
  std::unique_ptr<TUserNameForm> form_;
};

}  // namespace mainwindow
