// A code page selected for as long as a test, a fixture or a block needs it. The selection is
// process-wide: a test that fails half-way must still hand the next one the code page it found.
#pragma once

#include "platform/code_page.h"

class ScopedAnsiCodePage {
  public:
    explicit ScopedAnsiCodePage(unsigned codePage)
        : replaced_(platform::SelectAnsiCodePage(codePage)) {}
    ~ScopedAnsiCodePage() { platform::SelectAnsiCodePage(replaced_); }
    ScopedAnsiCodePage(const ScopedAnsiCodePage&) = delete;
    ScopedAnsiCodePage& operator=(const ScopedAnsiCodePage&) = delete;

  private:
    unsigned replaced_;
};
