// The library's, classes' and interfaces' GUIDs, defined once.

#include <initguid.h>
#include <windows.h>

#include "vamuMapserver.h"
