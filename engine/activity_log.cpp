#include "engine/activity_log.h"

#include "engine/module.h"

namespace vamu {

void AddLog(Module& module, const std::u16string& message) {
    // One reading for both parts, so a line written at midnight cannot pair
    // the old date with the new day's time.
    Clock& clock = module.services.clock;
    const ClockReading now = clock.now();
    std::u16string line = clock.shortDate(now);
    line += u' ';
    line += clock.timeOfDay(now);
    line += u": ";
    line += message;
    line += u"\r\n";
    module.panel().log().insertAtTop(line, kLogLines);
}

}  // namespace vamu
