#include "widgets/AboutBox.h"

#include "mailstore/UserInteraction.h"
#include "widgets/Resources.h"

namespace widgets {

TAboutBox::TAboutBox(QWidget* parent) : TVelForm(parent) {
  setObjectName("AboutBox");
  setWindowTitle(QStringLiteral("About ") + mailstore::kProgramTitle);
  QFont arial("Arial");
  arial.setPixelSize(12);
  setFont(arial);
  setFixedSize(340, 190);

  ProgramIcon = new QLabel(this);
  ProgramIcon->setObjectName("ProgramIcon");
  ProgramIcon->setPixmap(Picture("Splash").scaledToHeight(120, Qt::SmoothTransformation));
  ProgramIcon->setGeometry(12, 12, 90, 124);
  ProgramIcon->setAlignment(Qt::AlignCenter);

  ProductName = new QLabel(mailstore::kProgramTitle, this);
  ProductName->setObjectName("ProductName");
  QFont large = arial;
  large.setPixelSize(26);
  large.setBold(true);
  ProductName->setFont(large);
  ProductName->setGeometry(112, 18, 220, 36);

  Version = new QLabel("Windows 95/98/NT - Version 1.2b", this);
  Version->setObjectName("Version");
  Version->setGeometry(114, 64, 220, 18);
  Copyright = new QLabel("May 12, 1999", this);
  Copyright->setObjectName("Copyright");
  Copyright->setGeometry(114, 86, 220, 18);

  OkButton = GlyphButton(this, "OkButton", "OK", "ok", 130, 150);
  OkButton->setDefault(true);
  connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);
  CentreOnScreen(this);
}

void ShowAboutBox(QWidget* parent) {
  TAboutBox box(parent);
  box.exec();
}

}  // namespace widgets
