// Laying out a resource pack.
#include "pack_builder.h"

#include <cstring>
#include <limits>

#include "files/pack_codec.h"
#include "files/resource_pack.h"

std::string CheckEntryName(const std::string& name) {
    if (name.empty()) return "an entry name cannot be empty";
    if (name.size() > static_cast<size_t>(kPackMaxNameLength))
        return "entry name \"" + name + "\" is " + std::to_string(name.size()) + " bytes long; at most " +
               std::to_string(kPackMaxNameLength) + " are allowed";
    if (name.find('\0') != std::string::npos) return "an entry name cannot hold a NUL byte";
    return "";
}

namespace {

void Append32(std::vector<uint8_t>& out, int64_t value) {
    uint8_t bytes[4];
    WriteLittleEndian32(bytes, static_cast<int32_t>(value));
    out.insert(out.end(), bytes, bytes + 4);
}

}  // namespace

bool BuildPack(std::vector<uint8_t>& out, const std::vector<PackInput>& inputs, DirectoryForm form,
               std::vector<BuiltEntry>& built, std::string& message) {
    PackCodec codec;
    std::vector<int64_t> positions;
    std::vector<int64_t> stored_sizes;
    for (const PackInput& input : inputs) {
        const std::string problem = CheckEntryName(input.name);
        if (!problem.empty()) {
            message = problem;
            return false;
        }
        if (input.data.size() > static_cast<size_t>(kPackMaxExpandedSize)) {
            message = input.name + " is larger than the 256 MiB a pack entry may hold";
            return false;
        }
        const std::vector<uint8_t> payload =
            codec.Compress(input.data.data(), static_cast<uint32_t>(input.data.size()));
        if (payload.empty()) {
            message = "could not compress " + input.name;
            return false;
        }
        positions.push_back(static_cast<int64_t>(out.size()));
        stored_sizes.push_back(static_cast<int64_t>(payload.size()));
        out.insert(out.end(), payload.begin(), payload.end());
        built.push_back({input.name, static_cast<int32_t>(input.data.size()), static_cast<int32_t>(payload.size())});
    }

    const int64_t directory_position = static_cast<int64_t>(out.size());
    int64_t directory_size = 1;
    for (const PackInput& input : inputs) directory_size += 1 + static_cast<int64_t>(input.name.size()) + 8;
    const int64_t total = directory_position + directory_size + kPackTrailerSize;
    if (total > std::numeric_limits<int32_t>::max()) {
        message = "the file with its pack would be larger than 2 GiB, beyond the pack's 32-bit offsets";
        return false;
    }
    // Offsets from the end are negative distances from the end of the whole file.
    const int64_t shift = form == DirectoryForm::kFromEnd ? -total : 0;
    for (size_t i = 0; i < inputs.size(); ++i) {
        out.push_back(static_cast<uint8_t>(inputs[i].name.size()));
        out.insert(out.end(), inputs[i].name.begin(), inputs[i].name.end());
        Append32(out, positions[i] + shift);
        Append32(out, stored_sizes[i]);
    }
    out.push_back(0);
    out.insert(out.end(), kPackMagic, kPackMagic + sizeof(kPackMagic));
    Append32(out, directory_position + shift);
    return true;
}
