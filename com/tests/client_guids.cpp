// The server's GUIDs, defined once for the test host.

#include <initguid.h>
#include <windows.h>

#include "vamuMapserver.h"
