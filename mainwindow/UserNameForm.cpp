#include "mainwindow/UserNameForm.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "mailstore/UserRegistry.h"
#include "shell/AnsiText.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"
#include "widgets/TypedText.h"

namespace mainwindow {
namespace {

using shell::FromAnsi;
using shell::ToAnsi;

QFont Arial(int pixels, bool bold = false, bool italic = false) {
  QFont font("Arial");
  font.setPixelSize(pixels);
  font.setBold(bold);
  font.setItalic(italic);
  return font;
}

}  // namespace

TUserNameForm::TUserNameForm(mailstore::TMail& mail, std::string supervisorPassword, QWidget* parent)
    : widgets::TVelForm(parent), mail_(mail), supervisorPassword_(std::move(supervisorPassword)) {
  setObjectName("UserNameForm");
  setWindowTitle(mailstore::kProgramTitle);
  setFont(Arial(12));
  setFixedSize(421, 212);

  SplashImage = new widgets::TVelImage(this);
  SplashImage->setObjectName("SplashImage");
  SplashImage->SetAutoSize(true);
  SplashImage->SetPicture(widgets::Picture("Splash"));
  SplashImage->move(0, 8);

  Label3D1 = new widgets::TLabel3D("Welcome to KV Mailbox", this);
  Label3D1->setObjectName("Label3D1");
  Label3D1->setFont(Arial(21, true, true));
  QPalette yellow = Label3D1->palette();
  yellow.setColor(QPalette::WindowText, Qt::yellow);
  Label3D1->setPalette(yellow);
  Label3D1->setGeometry(112, 6, 305, 30);

  Shape1 = new QFrame(this);
  Shape1->setObjectName("Shape1");
  Shape1->setGeometry(100, 38, 321, 9);
  Shape1->setStyleSheet("background-color: blue; border: none;");

  Notebook = new QStackedWidget(this);
  Notebook->setObjectName("Notebook");
  Notebook->setGeometry(108, 52, 305, 112);

  auto* namePage = new QWidget;
  namePage->setObjectName("Name");
  auto* nameText = new QLabel(
      "Please enter your user name in the space provided below. After entering your name, press Enter or click "
      "the OK button.",
      namePage);
  nameText->setWordWrap(true);
  nameText->setGeometry(0, 0, 300, 60);
  auto* nameLabel = new QLabel("User &Name:", namePage);
  nameLabel->setGeometry(0, 72, 80, 24);
  NameBox = new QLineEdit(namePage);
  NameBox->setObjectName("NameBox");
  NameBox->setGeometry(84, 72, 216, 24);
  nameLabel->setBuddy(NameBox);
  Notebook->addWidget(namePage);

  auto* passwordPage = new QWidget;
  passwordPage->setObjectName("Password");
  PasswordPrompt = new QLabel(passwordPage);
  PasswordPrompt->setObjectName("PasswordPrompt");
  PasswordPrompt->setWordWrap(true);
  PasswordPrompt->setGeometry(0, 0, 293, 61);
  auto* passwordLabel = new QLabel("&Password:", passwordPage);
  passwordLabel->setGeometry(0, 72, 80, 24);
  PasswordBox = new QLineEdit(passwordPage);
  PasswordBox->setObjectName("PasswordBox");
  PasswordBox->setEchoMode(QLineEdit::Password);
  PasswordBox->setStyleSheet("lineedit-password-character: 42");  // "*" for each character
  PasswordBox->setMaxLength(20);
  PasswordBox->setGeometry(84, 72, 216, 24);
  passwordLabel->setBuddy(PasswordBox);
  Notebook->addWidget(passwordPage);

  Bevel1 = new QFrame(this);
  Bevel1->setObjectName("Bevel1");
  Bevel1->setFrameShape(QFrame::HLine);
  Bevel1->setFrameShadow(QFrame::Sunken);
  Bevel1->setGeometry(0, 166, 421, 4);

  OkButton = widgets::GlyphButton(this, "OkButton", "OK", "ok", 151, 176);
  OkButton->setDefault(true);
  OkButton->setEnabled(false);
  CancelButton = widgets::GlyphButton(this, "CancelButton", "Cancel", "cancel", 241, 176);
  HelpButton = widgets::GlyphButton(this, "HelpButton", "&Help", "help", 331, 176);

  connect(OkButton, &QPushButton::clicked, this, &TUserNameForm::OkButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TUserNameForm::CancelButtonClick);
  connect(HelpButton, &QPushButton::clicked, this, &TUserNameForm::HelpButtonClick);
  widgets::HelpOnF1(this, HelpButton);
  connect(NameBox, &QLineEdit::textChanged, this, &TUserNameForm::NameBoxChange);
  connect(PasswordBox, &QLineEdit::textChanged, this, &TUserNameForm::PasswordBoxChange);
  // NameBoxKeyPress: whatever enters either box, typed or pasted, goes in
  // upper-cased.
  NameBox->setValidator(new widgets::UpperCaseValidator(/*refuseBlanks=*/false, NameBox));
  PasswordBox->setValidator(new widgets::UpperCaseValidator(/*refuseBlanks=*/false, PasswordBox));
  NameBox->setFocus();
  widgets::CentreOnScreen(this);
}

void TUserNameForm::SetOkEnabled(bool enabled) {
  if (OkButton->isEnabled() != enabled) OkButton->setEnabled(enabled);
}

void TUserNameForm::NameBoxChange() {
  if (!OnPasswordPage()) SetOkEnabled(!NameBox->text().isEmpty());
}

void TUserNameForm::PasswordBoxChange() {
  if (OnPasswordPage()) SetOkEnabled(!PasswordBox->text().isEmpty());
}

void TUserNameForm::ShowPasswordPage() {
  Notebook->setCurrentIndex(1);
  PasswordPrompt->setText("As you know, " + NameBox->text() + ", in order to access your mailbox " +
                          "you must first enter the correct password. If " +
                          "you would like to enter a different user name, " + "press ESC or click the Cancel button.");
  PasswordBox->clear();
  SetOkEnabled(false);
  PasswordBox->setFocus();
}

void TUserNameForm::OpenOnPasswordPage(const std::string& name, const std::string& stored) {
  StoredPassword = stored;
  NameBox->setText(FromAnsi(name));
  ShowPasswordPage();
}

void TUserNameForm::OpenOnNamePage() {
  StoredPassword.clear();
  Notebook->setCurrentIndex(0);
  NameBoxChange();
  NameBox->setFocus();
}

bool TUserNameForm::Execute(std::string& name, std::string& password) {
  if (exec() != QDialog::Accepted) return false;
  name = ToAnsi(NameBox->text());
  password = ToAnsi(PasswordBox->text());
  return true;
}

void TUserNameForm::OkButtonClick() {
  if (!OkButton->isEnabled()) return;
  if (!OnPasswordPage()) {
    switch (shell::CheckUserName(mail_, ToAnsi(NameBox->text()), StoredPassword)) {
      case shell::NameCheck::kRefused:
        NameBox->clear();
        return;
      case shell::NameCheck::kNeedsPassword:
        ShowPasswordPage();
        return;
      case shell::NameCheck::kAccepted:
        accept();
        return;
    }
  }
  if (shell::PasswordAccepted(ToAnsi(PasswordBox->text()), StoredPassword, supervisorPassword_)) {
    accept();
    return;
  }
  widgets::ShowAlert(mailstore::kProgramTitle, shell::kWrongPasswordText);
  PasswordBox->clear();
  SetOkEnabled(false);
  PasswordBox->setFocus();
}

void TUserNameForm::CancelButtonClick() {
  if (!OnPasswordPage()) {
    reject();
    return;
  }
  Notebook->setCurrentIndex(0);
  NameBox->clear();
  SetOkEnabled(false);
  NameBox->setFocus();
}

void TUserNameForm::HelpButtonClick() { widgets::ShowHelpTopic(widgets::kHelpUserName, this); }

void TUserNameForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    CancelButtonClick();
    return;
  }
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    OkButtonClick();  // does nothing while OK is disabled
    return;
  }
  widgets::TVelForm::keyPressEvent(event);
}

void TUserNameForm::closeEvent(QCloseEvent* event) {
  // The close box gives up on either page, without going back to the Name page.
  event->accept();
  done(QDialog::Rejected);
}

TUserNameForm& UserNameFormWhenShown::Form() {
  if (!form_) form_ = std::make_unique<TUserNameForm>(mail_, supervisorPassword_, parent_);
  return *form_;
}

}  // namespace mainwindow
