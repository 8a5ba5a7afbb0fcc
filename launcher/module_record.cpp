#include "launcher/module_record.h"

void ModuleRecord::AddResourceModule(platform::ModuleHandle module) {
    const std::lock_guard<std::mutex> guard(lock_);
    resourceModules_.push_back(module);
}

platform::ModuleHandle ModuleRecord::FindResourceModule(
    const std::function<bool(platform::ModuleHandle)>& visit) {
    for (std::size_t index = 0;; ++index) {
        platform::ModuleHandle module = nullptr;
        {
            const std::lock_guard<std::mutex> guard(lock_);
            if (index > resourceModules_.size()) return nullptr;
            module = index < resourceModules_.size() ? resourceModules_[index]
                                                     : platform::ExecutableModule();
        }
        if (visit(module)) return module;
    }
}

ModuleRecord& TheModuleRecord() {
    static ModuleRecord record;
    return record;
}

namespace {
// Built while static objects are constructed, before the entry runs; the accessor above
// keeps any earlier static user safe from construction order.
[[maybe_unused]] const ModuleRecord& builtAtStartup = TheModuleRecord();
}  // namespace
