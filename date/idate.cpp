#include "date/idate.h"

#include "platform/local_clock.h"

void IDate::SetToday() {
    std::int32_t todayYear = 0;
    std::int32_t todayMonth = 0;
    std::int32_t todayDay = 0;
    if (!platform::ReadLocalDate(todayYear, todayMonth, todayDay)) {
        SetInvalid();
        return;
    }
    SetDate(todayYear, todayMonth, todayDay);
}
