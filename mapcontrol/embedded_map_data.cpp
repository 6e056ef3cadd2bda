// The map data set, linked into the program as it stands in the source tree
// (mapcontrol/data/japan.vmap). Nothing else lives in this file: the
// assembler block below switches to a read-only data section and back to
// the code section the compiler expects.

#include <cstdint>
#include <span>

#include "mapcontrol/map_data.h"

#ifndef VAMU_MAP_DATA_FILE
#error "VAMU_MAP_DATA_FILE names the data set to embed"
#endif
#ifndef VAMU_MAP_DATA_SHA256
#define VAMU_MAP_DATA_SHA256 ""
#endif

#ifdef _WIN32
#define VAMU_READ_ONLY_SECTION ".section .rdata,\"dr\"\n"
#else
#define VAMU_READ_ONLY_SECTION ".section .rodata\n"
#endif

// The checksum in the comment makes a changed data set a changed object to
// compiler caches.
__asm__(VAMU_READ_ONLY_SECTION
        ".balign 16\n"
        "vamu_map_data_begin:\n"
        ".incbin \"" VAMU_MAP_DATA_FILE
        "\"\n"
        "vamu_map_data_end:\n"
        ".byte 0\n"
        "/* " VAMU_MAP_DATA_SHA256
        " */\n"
        ".text\n");

extern "C" const std::uint8_t vamuMapDataBegin[] __asm__("vamu_map_data_begin");
extern "C" const std::uint8_t vamuMapDataEnd[] __asm__("vamu_map_data_end");

namespace vamu::mapcontrol {

std::span<const std::uint8_t> builtInMapDataBytes() {
    return {vamuMapDataBegin, static_cast<std::size_t>(vamuMapDataEnd - vamuMapDataBegin)};
}

}  // namespace vamu::mapcontrol
