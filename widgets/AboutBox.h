// The about box: the program's name, its version and date, its picture.
#pragma once

#include <QLabel>
#include <QPushButton>

#include "widgets/VelForm.h"

namespace widgets {

class TAboutBox : public TVelForm {
  Q_OBJECT
 public:
  explicit TAboutBox(QWidget* parent = nullptr);
  QLabel *ProgramIcon, *ProductName, *Version, *Copyright;
  QPushButton* OkButton;
};

// Shows the about box modally.
void ShowAboutBox(QWidget* parent = nullptr);

}  // namespace widgets
