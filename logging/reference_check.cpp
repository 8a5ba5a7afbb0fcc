#include "logging/reference_check.h"

#include <map>
#include <optional>

namespace {

struct ReferenceCheck {
    ReferenceFault fault = ReferenceFault::kNone;
    std::string name;  // the variable where the fault shows
};

// "cyclic ${...} reference through log4j.rootLogger" and the like.
std::string Describe(const ReferenceCheck& check) {
    switch (check.fault) {
        case ReferenceFault::kCyclic:
            return "cyclic ${...} reference through " + check.name;
        case ReferenceFault::kTooDeep:
            return "${...} references nested too deeply at " + check.name;
        case ReferenceFault::kTooLarge:
            return "${...} substitution grows too large in " + check.name;
        case ReferenceFault::kNone:
            break;
    }
    return {};
}

class ReferenceWalker {
  public:
    ReferenceWalker(const std::vector<Property>& properties,
                    const std::function<std::string(const std::string&)>& environment)
        : environment_(environment) {
        for (const auto& [key, value] : properties) properties_[key] = value;
    }

    // The size of `value` once substituted, or a fault in `check_`.
    std::size_t SubstitutedSize(const std::string& value, std::size_t depth) {
        std::size_t size = 0;
        std::size_t at = 0;
        while (check_.fault == ReferenceFault::kNone) {
            const std::size_t open = value.find("${", at);
            const std::size_t close = open == std::string::npos ? open : value.find('}', open);
            // An unclosed "${" is reported by log4cxx itself, which then goes on.
            if (close == std::string::npos) return Add(size, value.size() - at);
            size = Add(size, open - at);
            size = Add(size, NameSize(value.substr(open + 2, close - open - 2), depth + 1));
            at = close + 1;
        }
        return size;
    }

    const ReferenceCheck& Check() const { return check_; }

  private:
    std::size_t NameSize(const std::string& name, std::size_t depth) {
        if (check_.fault != ReferenceFault::kNone) return 0;
        const auto known = sizes_.find(name);
        if (known != sizes_.end()) {
            // Reached again while its own value is being substituted.
            if (!known->second) Fail(ReferenceFault::kCyclic, name);
            return known->second.value_or(0);
        }
        if (depth > kMaxReferenceDepth) {
            Fail(ReferenceFault::kTooDeep, name);
            return 0;
        }
        std::string value = environment_(name);
        if (value.empty()) {
            const auto property = properties_.find(name);
            if (property != properties_.end()) value = property->second;
        }
        sizes_[name] = std::nullopt;
        const std::size_t size = SubstitutedSize(value, depth);
        sizes_[name] = size;
        return size;
    }

    std::size_t Add(std::size_t size, std::size_t more) {
        if (size + more <= kMaxSubstitutedSize) return size + more;
        Fail(ReferenceFault::kTooLarge, {});
        return kMaxSubstitutedSize;
    }

    void Fail(ReferenceFault fault, const std::string& name) {
        if (check_.fault == ReferenceFault::kNone) check_ = {fault, name};
    }

    const std::function<std::string(const std::string&)>& environment_;
    std::map<std::string, std::string> properties_;
    // Each name's substituted size; none while its value is being substituted.
    std::map<std::string, std::optional<std::size_t>> sizes_;
    ReferenceCheck check_;
};

}  // namespace

platform::Result<ReferenceFault> CheckReferences(
    const std::vector<Property>& properties,
    const std::function<std::string(const std::string&)>& environment) {
    ReferenceWalker walker(properties, environment);
    for (const auto& property : properties) {
        walker.SubstitutedSize(property.second, 0);
        if (walker.Check().fault != ReferenceFault::kNone) {
            ReferenceCheck check = walker.Check();
            if (check.name.empty()) check.name = property.first;
            return {check.fault, Describe(check)};
        }
    }
    return {ReferenceFault::kNone, {}};
}
