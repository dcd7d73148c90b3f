// Stored settings are text that anyone can edit: any text must read as a
// list, a number, a window placement, a margin and a value of the store's
// file without a crash, and a placement read back must lie where the screen
// correction puts it.
#include <cstdint>
#include <cstdlib>

#include <string_view>

#include "shell/Preferences.h"
#include "shell/SettingsFile.h"
#include "shell/StoredSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (int n = 0; n <= 5; ++n) (void)shell::ListItem(text, n, "default");
  int number = 0;
  (void)shell::ParseStoredNumber(text, number);
  (void)shell::ToIntOrZero(text);
  const shell::Placement screen{0, 0, 1024, 768};
  const shell::Placement placement = shell::ReadPlacement(text, {10, 20, 300, 200}, screen);
  if (placement.left > screen.width - 30 || placement.top > screen.height - 30) std::abort();
  double margin = 0.5;
  (void)shell::ParseMargin(text, margin);
  (void)shell::UnescapeStoredValue(text);
  return 0;
}
