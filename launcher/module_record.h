// The modules in which the launcher looks up its resources. Modules added here are searched
// first, in the order they were added; the executable itself always comes last.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/string_resources.h"

class ModuleRecord {
  public:
    void AddResourceModule(platform::ModuleHandle module);

    // Calls `visit` for each module in search order until it returns true, taking the lock
    // once for each module looked up; returns the module it accepted, or null.
    platform::ModuleHandle FindResourceModule(
        const std::function<bool(platform::ModuleHandle)>& visit);

  private:
    std::mutex lock_;
    std::vector<platform::ModuleHandle> resourceModules_;
};

// The process's record, built before the entry runs.
ModuleRecord& TheModuleRecord();
