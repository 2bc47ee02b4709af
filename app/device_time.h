// The device's local date and time, for a result card. The programs hand
// this to the game window; the rules themselves never read a clock.
#pragma once

#include "game/card.h"

#include <ctime>

inline game::Stamp deviceTime()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}
