#pragma once
// Services of the platform the plug-in runs on.

#include <cstdint>
#include <optional>
#include <string>

#include "contracts/picture.h"

namespace vamu {

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void setImage(const Image& image) = 0;  // replaces the contents
    virtual bool hasBitmap() = 0;                   // standard format 2
    virtual PictureRef picture() = 0;               // the contents as a picture
};

class Pictures {
public:
    virtual ~Pictures() = default;
    // An empty path gives an empty picture; a missing file is error 53.
    virtual PictureRef load(const std::u16string& path) = 0;
    // Writes a Windows bitmap file. The old file is replaced atomically: a
    // failed save leaves it as it was.
    virtual void saveAsBmp(const PictureRef& picture, const std::u16string& path) = 0;
};

enum class MessageButtons { Ok };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Modal; returns when the user has closed the box. No title: the
    // box's default title.
    virtual void show(const std::u16string& text, MessageButtons buttons,
                      const std::optional<std::u16string>& title) = 0;
};

// One reading of the system clock, in local time.
struct ClockReading {
    std::int32_t year = 0, month = 0, day = 0;
    std::int32_t hour = 0, minute = 0, second = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual ClockReading now() = 0;
    virtual std::u16string shortDate(const ClockReading& at) = 0;  // regional short date
    virtual std::u16string timeOfDay(const ClockReading& at) = 0;  // regional time, no date
};

class ProfileWriter {
public:
    virtual ~ProfileWriter() = default;
    // WritePrivateProfileStringA: every string converted to the system's
    // ANSI code page first. The result is the function's own.
    virtual bool writeString(const std::u16string& section, const std::u16string& key,
                             const std::u16string& value, const std::u16string& file) = 0;
};

}  // namespace vamu
