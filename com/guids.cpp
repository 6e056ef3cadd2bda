// The library's, classes' and interfaces' GUIDs, defined once.

#include <windows.h>
#include <initguid.h>

#include "vamuMapserver.h"
