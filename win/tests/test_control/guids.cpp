// The test map control's GUIDs, defined once.

#include <initguid.h>
#include <windows.h>

#include "test_map_idl.h"
