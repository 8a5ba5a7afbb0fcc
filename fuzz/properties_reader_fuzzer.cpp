// The shared settings' reader (log4cxx's own parser, after decoding) and the guard against
// substitutions that would bring log4cxx down.
// The guard's verdict is checked against a plain re-enactment of log4cxx's substitution
// (environment first, then the properties, each value substituted in turn): where the guard
// finds nothing, the re-enactment ends within the guard's bounds; where it finds a cycle,
// the re-enactment meets a variable inside its own substitution.
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "logging/log4cxx_configuration.h"
#include "logging/reference_check.h"
#include "logging/settings_encoding.h"

namespace {

std::string Environment(const std::string& name) {
    static const std::map<std::string, std::string> kEnvironment = {
        {"HOME", "/home/u"}, {"E", "${E}"}, {"F", "${a}"}};
    const auto found = kEnvironment.find(name);
    return found == kEnvironment.end() ? std::string() : found->second;
}

class Substitution {
  public:
    explicit Substitution(const std::vector<Property>& properties) {
        for (const auto& [key, value] : properties) properties_[key] = value;
    }

    // False once the substitution meets a variable inside its own, or exceeds the bounds.
    bool Run(const std::string& value, std::size_t depth, std::size_t& size) {
        std::size_t at = 0;
        for (;;) {
            const std::size_t open = value.find("${", at);
            const std::size_t close = open == std::string::npos ? open : value.find('}', open);
            if (close == std::string::npos) {
                size += value.size() - at;
                return size <= kMaxSubstitutedSize;
            }
            size += open - at;
            const std::string name = value.substr(open + 2, close - open - 2);
            std::string replacement = Environment(name);
            if (replacement.empty()) {
                const auto found = properties_.find(name);
                if (found != properties_.end()) replacement = found->second;
            }
            if (!replacement.empty()) {
                if (!active_.insert(name).second) {
                    cyclic_ = true;
                    return false;
                }
                if (depth + 1 > kMaxReferenceDepth + 1 || !Run(replacement, depth + 1, size)) {
                    return false;
                }
                active_.erase(name);
            }
            if (size > kMaxSubstitutedSize) return false;
            at = close + 1;
        }
    }

    bool Cyclic() const { return cyclic_; }

  private:
    std::map<std::string, std::string> properties_;
    std::set<std::string> active_;
    bool cyclic_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::map<std::string, std::string> read =
        ParseUtf8SettingsText(DecodeSettingsText(text).utf8);
    const std::vector<Property> properties(read.begin(), read.end());
    // Reading only takes away (comments, separators, escapes) from text that decoding leaves
    // as it is: ASCII.
    bool ascii = true;
    for (const char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
    std::size_t characters = 0;
    for (const auto& [key, value] : properties) characters += key.size() + value.size();
    FUZZ_CHECK(!ascii || characters <= text.size());

    const auto check = CheckReferences(properties, Environment);
    FUZZ_CHECK((check.outcome == ReferenceFault::kNone) == check.reason.empty());
    if (check.outcome == ReferenceFault::kNone) {
        for (const auto& property : properties) {
            Substitution substitution(properties);
            std::size_t substituted = 0;
            FUZZ_CHECK(substitution.Run(property.second, 0, substituted));
        }
    }
    if (check.outcome == ReferenceFault::kCyclic) {
        bool found = false;
        for (const auto& property : properties) {
            Substitution substitution(properties);
            std::size_t substituted = 0;
            if (!substitution.Run(property.second, 0, substituted) && substitution.Cyclic()) {
                found = true;
                break;
            }
        }
        FUZZ_CHECK(found);
    }
    return 0;
}
