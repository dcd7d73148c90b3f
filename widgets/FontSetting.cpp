#include "widgets/FontSetting.h"

#include <QFontMetricsF>

namespace widgets {

shell::FontSetting FontSettingOf(const QFont& font) {
  const int points = font.pointSize() > 0 ? font.pointSize() : font.pixelSize() * 72 / 96;
  return {font.family().toStdString(), points,
          (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0)};
}

QFont FontOf(const shell::FontSetting& setting) {
  QFont font(QString::fromStdString(setting.name));
  if (setting.size > 0) font.setPointSize(setting.size);
  font.setBold((setting.style & 1) != 0);
  font.setItalic((setting.style & 2) != 0);
  font.setUnderline((setting.style & 4) != 0);
  return font;
}

QFont FontAfterChoice(const QFont& before, const QFont& shown, const QFont& chosen) {
  if (chosen.family() != shown.family()) return chosen;  // another family: its sizes and styles
  QFont font = before;
  if (chosen.pointSize() != shown.pointSize()) font.setPointSize(chosen.pointSize());
  if (chosen.bold() != shown.bold()) font.setBold(chosen.bold());
  if (chosen.italic() != shown.italic()) font.setItalic(chosen.italic());
  if (chosen.underline() != shown.underline()) font.setUnderline(chosen.underline());
  if (chosen.strikeOut() != shown.strikeOut()) font.setStrikeOut(chosen.strikeOut());
  return font;
}

double TabDistance(const QFont& font, int spaces) { return spaces * QFontMetricsF(font).horizontalAdvance(u' '); }

}  // namespace widgets
