// Date conversions and formatting beside the standard library's own conversions over the same
// inputs. Compare the per-item times of each pair.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "date/format_date.h"
#include "date/idate.h"

namespace {

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

constexpr sys_days kEpoch{std::chrono::year{1758} / 1 / 1};
constexpr std::size_t kInputCount = 4096;

struct Fields {
    std::int32_t year;
    std::int32_t month;
    std::int32_t day;
};

// Random serials over the whole range, the same for every benchmark.
const std::vector<std::int32_t>& Serials() {
    static const std::vector<std::int32_t> serials = [] {
        std::mt19937 generator(20160920);
        std::uniform_int_distribution<std::int32_t> distribution(1, IDate::kMaxSerial);
        std::vector<std::int32_t> values(kInputCount);
        for (std::int32_t& value : values) {
            value = distribution(generator);
        }
        return values;
    }();
    return serials;
}

const std::vector<Fields>& FieldInputs() {
    static const std::vector<Fields> fields = [] {
        std::vector<Fields> values;
        values.reserve(kInputCount);
        for (const std::int32_t serial : Serials()) {
            const IDate date(serial);
            values.push_back({date.year, date.month, date.day});
        }
        return values;
    }();
    return fields;
}

void SerialToFields_IDate(benchmark::State& state) {
    const std::vector<std::int32_t>& serials = Serials();
    for ([[maybe_unused]] auto _ : state) {
        for (const std::int32_t serial : serials) {
            const IDate date(serial);
            // Copies: the packed fields must not be bound to references.
            std::int32_t year = date.year;
            std::int32_t month = date.month;
            std::int32_t day = date.day;
            benchmark::DoNotOptimize(year);
            benchmark::DoNotOptimize(month);
            benchmark::DoNotOptimize(day);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * serials.size()));
}
BENCHMARK(SerialToFields_IDate);

void SerialToFields_Chrono(benchmark::State& state) {
    const std::vector<std::int32_t>& serials = Serials();
    for ([[maybe_unused]] auto _ : state) {
        for (const std::int32_t serial : serials) {
            const year_month_day date{kEpoch + days{serial}};
            auto year = static_cast<int>(date.year());
            auto month = static_cast<unsigned>(date.month());
            auto day = static_cast<unsigned>(date.day());
            benchmark::DoNotOptimize(year);
            benchmark::DoNotOptimize(month);
            benchmark::DoNotOptimize(day);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * serials.size()));
}
BENCHMARK(SerialToFields_Chrono);

void FieldsToSerial_SetDate(benchmark::State& state) {
    const std::vector<Fields>& inputs = FieldInputs();
    IDate date(0);
    for ([[maybe_unused]] auto _ : state) {
        for (const Fields& fields : inputs) {
            date.SetDate(fields.year, fields.month, fields.day);
            std::int32_t serial = date.serial;
            benchmark::DoNotOptimize(serial);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * inputs.size()));
}
BENCHMARK(FieldsToSerial_SetDate);

void FieldsToSerial_Chrono(benchmark::State& state) {
    const std::vector<Fields>& inputs = FieldInputs();
    for ([[maybe_unused]] auto _ : state) {
        for (const Fields& fields : inputs) {
            const year_month_day date{std::chrono::year{fields.year},
                                      std::chrono::month{static_cast<unsigned>(fields.month)},
                                      std::chrono::day{static_cast<unsigned>(fields.day)}};
            auto serial = (sys_days{date} - kEpoch).count();
            benchmark::DoNotOptimize(serial);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * inputs.size()));
}
BENCHMARK(FieldsToSerial_Chrono);

void Format0x70_FormatDate(benchmark::State& state) {
    std::vector<IDate> dates;
    dates.reserve(kInputCount);
    for (const std::int32_t serial : Serials()) {
        dates.emplace_back(serial);
    }
    std::string out;
    for ([[maybe_unused]] auto _ : state) {
        for (const IDate& date : dates) {
            benchmark::DoNotOptimize(FormatDate(date, DF_YEAR | DF_MONTH | DF_DAY, out));
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * dates.size()));
}
BENCHMARK(Format0x70_FormatDate);

// The standard library has no date formatting to text before C++20's <format>, which this
// compiler lacks; the printf family is what a caller would otherwise use.
void Format0x70_Snprintf(benchmark::State& state) {
    std::vector<year_month_day> dates;
    dates.reserve(kInputCount);
    for (const std::int32_t serial : Serials()) {
        dates.emplace_back(kEpoch + days{serial});
    }
    std::string out;
    for ([[maybe_unused]] auto _ : state) {
        for (const year_month_day& date : dates) {
            char buffer[32];
            const int length = std::snprintf(
                buffer, sizeof(buffer), "%04d%02u%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
            out.assign(buffer, static_cast<std::size_t>(length));
            benchmark::DoNotOptimize(out.data());
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * dates.size()));
}
BENCHMARK(Format0x70_Snprintf);

}  // namespace
