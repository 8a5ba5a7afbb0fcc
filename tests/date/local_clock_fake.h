#ifndef TESTS_DATE_LOCAL_CLOCK_FAKE_H
#define TESTS_DATE_LOCAL_CLOCK_FAKE_H

// Test double for platform::ReadLocalDate: linked into the date tests in place of the real
// clock, so that SetToday can be given any date and the clock's failure.
namespace local_clock_fake {

// The next reads succeed with this date.
void SetLocalDate(int year, int month, int day);

// The next reads fail.
void SetFailure();

}  // namespace local_clock_fake

#endif  // TESTS_DATE_LOCAL_CLOCK_FAKE_H
