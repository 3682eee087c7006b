#include "base/desktop_identity.h"

#include <glib.h>

namespace tavelo {

void SetDesktopIdentity() {
  g_set_prgname(kProgramName);
  g_set_application_name(kApplicationName);
}

}  // namespace tavelo
