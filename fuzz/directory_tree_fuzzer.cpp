// The path analysis of CreateDirectoryTree over a file system that exists only in a recorder:
// it must end, search and create only prefixes of the path, and create from the top down.
#include "doubles/directory_services_doubles.h"
#include "fsutil/directory_tree.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t existing = data[1];
    std::string input(1, static_cast<char>(data[0]));
    input.append(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string path =
        TakeText(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());

    // Some prefixes exist, as directories or files, chosen by the second byte.
    FakeDirectoryServices fake;
    for (std::size_t cut = 1, bit = 0; cut < path.size(); ++cut) {
        if (path[cut] != '\\' && path[cut] != '/') continue;
        if ((existing >> (bit++ % 8) & 1) != 0) {
            fake.entries[path.substr(0, cut)] = (existing & 0x80) != 0 && bit == 1
                                                    ? FakeDirectoryServices::Kind::kFile
                                                    : FakeDirectoryServices::Kind::kDirectory;
        }
    }
    // The first byte's second bit picks the style the path is read in.
    const auto style =
        (data[0] & 2) != 0 ? platform::PathStyle::kPosix : platform::PathStyle::kWindows;
    const int result = CreateDirectoryTree(path.c_str(), fake, style);

    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(fake.searches.size() <= path.size() + 1);
    FUZZ_CHECK(!fake.creations.empty() || !fake.searches.empty());
    for (const std::string& searched : fake.searches) {
        FUZZ_CHECK(searched.size() < path.size() || path.empty());
        FUZZ_CHECK(path.compare(0, searched.size(), searched) == 0);
    }
    for (std::size_t i = 0; i < fake.creations.size(); ++i) {
        FUZZ_CHECK(path.compare(0, fake.creations[i].size(), fake.creations[i]) == 0);
        if (i > 0) FUZZ_CHECK(fake.creations[i - 1].size() < fake.creations[i].size());
    }
    // Success means the path itself was the last creation.
    if (result == 1) FUZZ_CHECK(fake.creations.back() == path);
    return 0;
}
