#include "compose/UserListDialog.h"

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include "mailstore/Delivery.h"
#include "mailstore/IoErrorText.h"
#include "mailstore/UserRegistry.h"
#include "shell/AnsiText.h"
#include "widgets/Help.h"
#include "widgets/MessageDialogs.h"
#include "widgets/Resources.h"

namespace compose {

namespace {

const QString kUserNames = QStringLiteral("application/x-kvmail-user-names");
constexpr int kIconArea = 18;
constexpr int kLongestName = 8;

// Draws an entry after the person icon.
class UserDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {100, 18}; }
  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    const bool selected = option.state & QStyle::State_Selected;
    painter->fillRect(option.rect, option.palette.color(selected ? QPalette::Highlight : QPalette::Base));
    painter->drawPixmap(option.rect.left() + 2, option.rect.top() + 1, widgets::Glyph("person").pixmap(16, 16));
    painter->setPen(option.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(option.rect.adjusted(20, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                      index.data().toString());
    if (option.state & QStyle::State_HasFocus) {
      QStyleOptionFocusRect focus;
      focus.rect = option.rect;
      focus.palette = option.palette;
      QApplication::style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter);
    }
  }
};

QString Alert(const QString& reason) { return QStringLiteral("Error loading user list.\r\r") + reason; }

}  // namespace

TUserListBox::TUserListBox(QWidget* parent) : QListWidget(parent) {
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSortingEnabled(true);
  setItemDelegate(new UserDelegate(this));
  setAcceptDrops(true);
  setCursor(widgets::ProgramCursor(widgets::kCursorHandPoint));
}

bool TUserListBox::OnSelectedIcon(const QPoint& at) const {
  const QListWidgetItem* entry = itemAt(at);
  return entry != nullptr && entry->isSelected() && at.x() < kIconArea;
}

void TUserListBox::mousePressEvent(QMouseEvent* event) {
  pressedAt_ = event->position().toPoint();
  // A press on the icon of a selected entry starts a drag, keeping the
  // selection as it is.
  pressedOnIcon_ = event->button() == Qt::LeftButton && OnSelectedIcon(pressedAt_);
  if (!pressedOnIcon_) QListWidget::mousePressEvent(event);
}

void TUserListBox::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (!(event->buttons() & Qt::LeftButton)) {
    setCursor(widgets::ProgramCursor(OnSelectedIcon(at) ? widgets::kCursorHandGrab : widgets::kCursorHandPoint));
    QListWidget::mouseMoveEvent(event);
    return;
  }
  if (!pressedOnIcon_ || (at - pressedAt_).manhattanLength() < QApplication::startDragDistance()) {
    if (!pressedOnIcon_) QListWidget::mouseMoveEvent(event);
    return;
  }
  pressedOnIcon_ = false;
  auto* drag = new QDrag(this);
  auto* data = new QMimeData;
  data->setData(kUserNames, QByteArray::number(reinterpret_cast<quintptr>(this)));
  drag->setMimeData(data);
  drag->setDragCursor(widgets::ProgramCursor(widgets::kCursorDragFile).pixmap(), Qt::MoveAction);
  drag->exec(Qt::MoveAction);
}

void TUserListBox::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasFormat(kUserNames)) event->acceptProposedAction();
}

void TUserListBox::dragMoveEvent(QDragMoveEvent* event) {
  if (event->mimeData()->hasFormat(kUserNames)) event->acceptProposedAction();
}

void TUserListBox::dropEvent(QDropEvent* event) {
  if (!event->mimeData()->hasFormat(kUserNames)) return;
  event->acceptProposedAction();
  // A drop on the list the drag started from does nothing.
  if (partner_ != nullptr && event->source() == partner_) emit partner_->DroppedOnPartner();
}

TUserListDialog::TUserListDialog(mailstore::TMail& mail, QWidget* parent) : widgets::TVelForm(parent), mail_(mail) {
  setObjectName("UserListDialog");
  setWindowTitle("Select Users to Receive Mail");
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setFixedSize(345, 263);

  UserList = new TUserListBox(this);
  UserList->setObjectName("UserList");
  UserList->setAccessibleName("Available Users");
  UserList->setGeometry(8, 26, 145, 185);
  auto* users = new QLabel("Available &Users:", this);
  users->setGeometry(8, 8, 145, 16);
  users->setBuddy(UserList);
  RecipientList = new TUserListBox(this);
  RecipientList->setObjectName("RecipientList");
  RecipientList->setAccessibleName("Recipients");
  RecipientList->setGeometry(192, 26, 145, 185);
  RecipientCount = new QLabel("&Recipients: 0", this);
  RecipientCount->setObjectName("RecipientCount");
  RecipientCount->setGeometry(192, 8, 145, 16);
  RecipientCount->setBuddy(RecipientList);
  UserList->SetPartner(RecipientList);
  RecipientList->SetPartner(UserList);
  CopyRightButton = new QToolButton(this);
  CopyRightButton->setObjectName("CopyRightButton");
  CopyRightButton->setIcon(widgets::Glyph("moveright"));
  CopyRightButton->setIconSize(QSize(16, 16));
  CopyRightButton->setAccessibleName("Add to the recipients");
  CopyRightButton->setGeometry(159, 86, 27, 26);
  CopyLeftButton = new QToolButton(this);
  CopyLeftButton->setObjectName("CopyLeftButton");
  CopyLeftButton->setIcon(widgets::Glyph("moveleft"));
  CopyLeftButton->setIconSize(QSize(16, 16));
  CopyLeftButton->setAccessibleName("Remove from the recipients");
  CopyLeftButton->setGeometry(159, 118, 27, 26);
  OkButton = widgets::GlyphButton(this, "OkButton", "OK", "ok", 82, 224);
  CancelButton = widgets::GlyphButton(this, "CancelButton", "Cancel", "cancel", 170, 224);
  HelpButton = widgets::GlyphButton(this, "HelpButton", "&Help", "help", 258, 224);
  OkButton->setDefault(true);

  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
  connect(HelpButton, &QPushButton::clicked, this, [this] { widgets::ShowHelpTopic(widgets::kHelpRecipients, this); });
  widgets::HelpOnF1(this, HelpButton);
  connect(CopyRightButton, &QToolButton::clicked, this, &TUserListDialog::CopyRightButtonClick);
  connect(CopyLeftButton, &QToolButton::clicked, this, &TUserListDialog::CopyLeftButtonClick);
  connect(UserList, &QListWidget::itemDoubleClicked, this, &TUserListDialog::CopyRightButtonClick);
  connect(RecipientList, &QListWidget::itemDoubleClicked, this, &TUserListDialog::CopyLeftButtonClick);
  connect(UserList, &TUserListBox::DroppedOnPartner, this, &TUserListDialog::CopyRightButtonClick);
  connect(RecipientList, &TUserListBox::DroppedOnPartner, this, &TUserListDialog::CopyLeftButtonClick);
  connect(UserList, &QListWidget::itemSelectionChanged, this, &TUserListDialog::UpdateButtons);
  connect(RecipientList, &QListWidget::itemSelectionChanged, this, &TUserListDialog::UpdateButtons);
  UpdateButtons();
  widgets::CentreOnScreen(this);
}

void TUserListDialog::FillUsers() {
  mailstore::UserInteraction& ui = mail_.Ui();
  if (mailstore::HasUserRegistry(mail_)) {
    int code = 0;
    for (const std::string& name : mailstore::ReadUserNames(mail_, &code)) UserList->addItem(shell::FromAnsi(name));
    if (code != 0)
      ui.ShowAlert(mailstore::kProgramTitle,
                   Alert(QString::fromStdString(mailstore::RegistryProblemText(code))).toStdString());
    else if (UserList->count() == 0)
      ui.ShowAlert(mailstore::kProgramTitle, Alert("MASTER.INI does not contain any user names!").toStdString());
    return;
  }
  int code = 0;
  for (const std::string& name : mailstore::ListMailboxNames(mail_, code))
    UserList->addItem(shell::FromAnsi(name).toUpper());
  if (code != 0)
    ui.ShowAlert(mailstore::kProgramTitle, Alert(QString::fromStdString(mailstore::IoErrorText(code))).toStdString());
}

void TUserListDialog::TakeOver(const QString& toBox) {
  for (const std::string& name : mailstore::SplitRecipients(shell::ToAnsi(toBox))) TakeOverRecipient(shell::FromAnsi(name));
  RecipientCount->setText(QString("Recipients: %1").arg(RecipientList->count()));
}

void TUserListDialog::TakeOverRecipient(const QString& name) {
  if (name.size() > kLongestName) return;
  const QList<QListWidgetItem*> known = UserList->findItems(name, Qt::MatchFixedString);  // any case
  for (QListWidgetItem* item : known) delete UserList->takeItem(UserList->row(item));
  RecipientList->addItem(name.toUpper());
}

QString TUserListDialog::RecipientText() const {
  QStringList names;
  for (int i = 0; i < RecipientList->count(); ++i) {
    const QString name = RecipientList->item(i)->text();
    names << (name.contains(u' ') ? u'"' + name + u'"' : name);
  }
  return names.join(u' ');
}

void TUserListDialog::Move(TUserListBox* from, TUserListBox* to) {
  for (int i = 0; i < from->count();) {
    if (!from->item(i)->isSelected()) {
      ++i;
      continue;
    }
    QListWidgetItem* item = from->takeItem(i);
    item->setSelected(false);
    to->addItem(item);
  }
  UpdateButtons();
  RecipientCount->setText(QString("Recipients: %1").arg(RecipientList->count()));
}

void TUserListDialog::CopyRightButtonClick() { Move(UserList, RecipientList); }
void TUserListDialog::CopyLeftButtonClick() { Move(RecipientList, UserList); }

void TUserListDialog::UpdateButtons() {
  CopyRightButton->setEnabled(!UserList->selectedItems().isEmpty());
  CopyLeftButton->setEnabled(!RecipientList->selectedItems().isEmpty());
}

void ShowRecipientDialog(QLineEdit& toBox, mailstore::TMail& mail, QWidget* parent) {
  TUserListDialog dialog(mail, parent);
  dialog.FillUsers();
  if (!toBox.text().isEmpty()) dialog.TakeOver(toBox.text());
  if (dialog.exec() == QDialog::Accepted) toBox.setText(dialog.RecipientText());
}

}  // namespace compose
