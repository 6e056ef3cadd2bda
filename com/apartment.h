#pragma once
// The module state of the calling thread's apartment.

#include "engine/module.h"

namespace vamu::com {

// The Module of the calling thread, created with its Windows platform and
// the control panel maker on the first call in that thread. It is never
// destroyed: it lives as long as the process, and the DLL pins itself in
// memory when the first one is made, so that the panel's window procedure
// and the module's code stay where the windows expect them.
Module& apartmentModule();
// The calling thread's Module where it has been made, else null.
Module* apartmentModuleIfMade() noexcept;

}  // namespace vamu::com
