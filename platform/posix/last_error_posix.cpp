#include "platform/last_error.h"

namespace platform {
namespace {
thread_local std::uint32_t lastErrorCode = 0;
}

std::uint32_t GetLastErrorCode() {
    return lastErrorCode;
}
void SetLastErrorCode(std::uint32_t code) {
    lastErrorCode = code;
}

}  // namespace platform
