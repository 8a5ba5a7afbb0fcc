#include "local_clock_fake.h"

#include "platform/local_clock.h"

namespace {

bool fakeFails = false;
int fakeYear = 2016;
int fakeMonth = 9;
int fakeDay = 20;

}  // namespace

namespace local_clock_fake {

void SetLocalDate(int year, int month, int day) {
    fakeFails = false;
    fakeYear = year;
    fakeMonth = month;
    fakeDay = day;
}

void SetFailure() {
    fakeFails = true;
}

}  // namespace local_clock_fake

namespace platform {

bool ReadLocalDate(int& year, int& month, int& day) {
    if (fakeFails) {
        return false;
    }
    year = fakeYear;
    month = fakeMonth;
    day = fakeDay;
    return true;
}

}  // namespace platform
