// The server's GUIDs, defined once for the test host.

#include <windows.h>
#include <initguid.h>

#include "vamuMapserver.h"
