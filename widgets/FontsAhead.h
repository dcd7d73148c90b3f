// The system's font configuration, read ahead.  Where the toolkit finds its
// fonts through the system's font configuration, reading that configuration
// (a few dozen files parsed) is most of the wait for the first text a window
// lays out.  Begun on a thread of its own before the window system is
// connected, it is done by the time the main window needs fonts, and the
// toolkit finds it read.
#pragma once

#include <thread>

namespace widgets {

class FontConfigurationAhead {
 public:
  FontConfigurationAhead();
  ~FontConfigurationAhead();  // waits for the reading
  FontConfigurationAhead(const FontConfigurationAhead&) = delete;
  FontConfigurationAhead& operator=(const FontConfigurationAhead&) = delete;

 private:
  std::thread thread_;
};

}  // namespace widgets
