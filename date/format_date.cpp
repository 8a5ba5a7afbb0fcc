#include "date/format_date.h"

#include <charconv>
#include <cstddef>

#include "date/era.h"

namespace {

// Appends `value` in decimal, zero-padded to at least `width` characters, exactly as
// printf's "%0*d" would, without going through printf.
void AppendZeroPadded(std::string& out, std::int32_t width, std::int32_t value) {
    char digits[16];
    const char* const end = std::to_chars(digits, digits + sizeof(digits), value).ptr;
    const char* begin = digits;
    if (value < 0) {
        // The sign comes before the padding and counts towards the width.
        out.push_back('-');
        ++begin;
        --width;
    }
    const std::ptrdiff_t length = end - begin;
    if (length < width) {
        out.append(static_cast<std::size_t>(width - length), '0');
    }
    out.append(begin, end);
}

}  // namespace

std::int32_t FormatDate(const IDate& date, std::uint32_t flags, std::string& out) {
    out.clear();
    if (date.serial == 0) {
        return 0;
    }

    if ((flags & DF_YEAR) != 0 && (flags & DF_ERA) != 0) {
        IEraDate eraDate;
        eraDate.FromDate(date);
        const std::int32_t letter = EraLetter(eraDate.eraIndex);
        if (letter < 0) {
            return 0;  // no era mark to write, so nothing at all
        }
        out.push_back(static_cast<char>(letter));
        AppendZeroPadded(out, 2, eraDate.eraYear);
    } else if ((flags & DF_YEAR) != 0) {
        AppendZeroPadded(out, 4, date.year);
    }
    if ((flags & DF_MONTH) != 0) {
        AppendZeroPadded(out, 2, date.month);
    }
    if ((flags & DF_DAY) != 0) {
        AppendZeroPadded(out, 2, date.day);
    }
    return static_cast<std::int32_t>(out.size());
}
