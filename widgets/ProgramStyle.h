// The program's style: the platform's, with the few standard pictures the
// first window needs drawn by us, so that starting the program loads no
// image reader (the toolkit's own pictures are files that pull in every
// image format plugin).
#pragma once

#include <QProxyStyle>

namespace widgets {

class ProgramStyle : public QProxyStyle {
  Q_OBJECT
 public:
  using QProxyStyle::QProxyStyle;
  QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                     const QWidget* widget = nullptr) const override;
  // A disabled picture is grey and faint, whatever its colours: a black
  // glyph greyed the platform's way looked the same as an enabled one.
  QPixmap generatedIconPixmap(QIcon::Mode mode, const QPixmap& pixmap, const QStyleOption* option) const override;
};

}  // namespace widgets
