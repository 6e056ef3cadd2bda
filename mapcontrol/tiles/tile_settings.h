#pragma once
// The plug-in's own settings file, vamuMapserver.ini (UTF-8):
//
//   [tiles]
//   source=gsi-std          ; the map shown: builtin, gsi-std, gsi-pale, gsi-photo, osm or a name below
//   cache=                  ; the cache folder; empty: the usual place
//   cache_limit_mb=1024     ; 0: no cache on disk
//
//   [source my-topo]        ; one section per tile server of the user's
//   url=https://tiles.example.org/topo/{z}/{x}/{y}.png
//   min_zoom=0
//   max_zoom=18
//   credit=© Example
//   bulk=no                 ; yes: tiles may be fetched ahead (prefetch)
//
// Lines starting with ';' or '#' are comments. Keys are read in either case;
// where a key is given twice the first counts. Sections and keys unknown here
// are left alone, and a rewrite touches the source line only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mapcontrol/tiles/tile_sources.h"

namespace vamu::tiles {

inline constexpr char kSettingsFileName[] = "vamuMapserver.ini";
// A longer settings file is taken as damaged.
inline constexpr std::size_t kMaxSettingsBytes = std::size_t{1} << 20;
inline constexpr std::uint64_t kDefaultCacheLimitMb = 1024;
inline constexpr std::uint64_t kMaxCacheLimitMb = std::uint64_t{1} << 20;
inline constexpr std::size_t kMaxSourceNameLength = 64;
inline constexpr std::size_t kMaxCreditLength = 300;  // characters

struct TileSettings {
    std::string source = "builtin";                              // always names a source of sources()
    std::string cacheFolder;                                     // UTF-8; empty: the platform's usual folder
    std::uint64_t cacheLimitBytes = kDefaultCacheLimitMb << 20;  // 0: no cache on disk
    std::vector<TileSource> userSources;
    bool damaged = false;  // the file was not readable as settings: these are the defaults

    // The built-in sources, then the user's in the order of the file.
    std::vector<TileSource> sources() const;
    // The source of that name, or null.
    const TileSource* find(std::string_view name) const;
    // The chosen source.
    const TileSource& chosen() const;
};

// Settings from the file's text. An empty text (a missing file) gives the
// defaults; a damaged one (not UTF-8, a NUL byte, longer than
// kMaxSettingsBytes) the defaults with one problem. A user source that
// cannot be used is skipped and a line or value that cannot be read is
// ignored, each with a problem: a sentence naming the line, for the log.
TileSettings parseTileSettings(std::string_view text, std::vector<std::string>& problems);

// The same text with the source chosen: the first source line of [tiles]
// changed, or one added at the top of that section, or the section added at
// the end. Every other byte stays as it was. The text unchanged where the
// name cannot be written (empty, blanks at its ends, control characters).
std::string withSourceChoice(std::string_view text, std::string_view sourceName);

}  // namespace vamu::tiles
