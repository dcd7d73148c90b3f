#include "widgets/FontsAhead.h"

#if KVMAIL_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace widgets {

FontConfigurationAhead::FontConfigurationAhead() {
#if KVMAIL_HAVE_FONTCONFIG
  // The configuration is set once for the process: when the toolkit asks
  // before this is done, both read it and the first one kept wins.
  thread_ = std::thread([] { FcInit(); });
#endif
}

FontConfigurationAhead::~FontConfigurationAhead() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace widgets
