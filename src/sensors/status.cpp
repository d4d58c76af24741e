// When a reading counts as normal: the one rule every page, report and alert shares.
#include "sensors/names.h"
#include "sensors/reading.h"

#include <cstring>
#include <string_view>

namespace qv {

int isNormalReading(const ItemDisplay& display)
{
    const int32_t value = display.reading;
    switch (display.category) {
    case FAN:
        return value > display.lowLimit;
    case VOLTAGE:
        return display.lowLimit < value && value < display.highLimit;
    case TEMP: {
        const std::string_view text(display.thermalText, strnlen(display.thermalText, sizeof display.thermalText));
        const bool overheat = display.thermalFlag != 0 && same_name(text, "Overheat");
        return value < display.highLimit && !overheat;
    }
    case SWITCH:
        return value <= 0;
    default:
        return 0;
    }
}

}  // namespace qv
