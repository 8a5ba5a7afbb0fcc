#include "date/era.h"

#include <iterator>
#include <string_view>

namespace {

// Era years of dates before the first table entry count from 1751.
constexpr std::int32_t kFirstEraBaseYear = 1751;

// A mistyped start date (say 1865-04-31) would silently run over into the next month; refuse to
// build with one.
constexpr bool EraTableIsSound() {
    for (int i = 0; i < kEraStartCount; ++i) {
        const IDate& start = EraStartDates[i];
        const bool ascending = i == 0 || start.serial > EraStartDates[i - 1].serial;
        if (start.serial == 0 || start.adjusted || !ascending) {
            return false;
        }
    }
    return true;
}
static_assert(EraTableIsSound(), "era start dates must be valid and ascending");

}  // namespace

std::int32_t EraIndex(const IDate& date) {
    std::int32_t index = 0;
    while (index < kEraStartCount && date.serial >= EraStartDates[index].serial) {
        ++index;
    }
    return index;
}

std::int32_t EraYear(const IDate& date) {
    const std::int32_t index = EraIndex(date);
    const std::int32_t base = index == 0 ? kFirstEraBaseYear : EraStartDates[index - 1].year;
    // 64-bit so that a hand-edited year cannot overflow.
    return static_cast<std::int32_t>(std::int64_t{date.year} - base + 1);
}

std::int32_t EraLetter(std::int32_t eraIndex) {
    // Meiji, Taisho, Showa, Heisei and Reiwa, the eras from index 16 on, have letters.
    constexpr std::string_view kLetters = "MTSHR";
    const std::int64_t at = std::int64_t{eraIndex} - 16;
    return at >= 0 && at < std::ssize(kLetters) ? kLetters[static_cast<std::size_t>(at)] : -1;
}

void IEraDate::FromDate(const IDate& date) {
    eraYear = EraYear(date);
    month = date.month;
    day = date.day;
    eraIndex = EraIndex(date);
}
