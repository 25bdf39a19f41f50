// Reading the resource pack's trailer, directory and payloads.
#include "files/resource_pack.h"

#include <cstring>
#include <new>

#include "files/pack_codec.h"

bool PackBytes::UseFile(FILE* file) {
    file_ = file;
    memory_ = nullptr;
    file_cursor_ = -1;
    if (fseek(file, 0, SEEK_END) != 0) return false;
    const long length = ftell(file);
    if (length < 0) return false;
    size_ = length;
    return true;
}

void PackBytes::UseMemory(const uint8_t* data, int64_t size) {
    file_ = nullptr;
    memory_ = data;
    size_ = data != nullptr && size > 0 ? size : 0;
}

bool PackBytes::ReadAt(int64_t position, void* destination, int64_t count) {
    if (position < 0 || count < 0 || position > size_ || count > size_ - position) return false;
    if (count == 0) return true;
    if (memory_ != nullptr) {
        memcpy(destination, memory_ + position, static_cast<size_t>(count));
        return true;
    }
    if (file_ == nullptr) return false;
    // Directory entries are read one after another; staying on the stream's buffer avoids a seek per entry.
    if (position != file_cursor_ && fseek(file_, static_cast<long>(position), SEEK_SET) != 0) {
        file_cursor_ = -1;
        return false;
    }
    const size_t got = fread(destination, 1, static_cast<size_t>(count), file_);
    file_cursor_ = position + static_cast<int64_t>(got);
    return got == static_cast<size_t>(count);
}

bool PackDirectory::Open() {
    uint8_t trailer[kPackTrailerSize];
    if (!bytes_.ReadAt(bytes_.size() - kPackTrailerSize, trailer, kPackTrailerSize)) return false;
    if (memcmp(trailer, kPackMagic, sizeof(kPackMagic)) != 0) return false;
    const int32_t offset = ReadLittleEndian32(trailer + 3);
    counts_from_end_ = offset < 0;
    directory_position_ = counts_from_end_ ? bytes_.size() + offset : offset;
    if (directory_position_ < 0 || directory_position_ >= bytes_.size()) return false;
    cursor_ = directory_position_;
    return true;
}

int PackDirectory::Next(PackEntry& entry) {
    uint8_t name_length = 0;
    if (!bytes_.ReadAt(cursor_, &name_length, 1)) return -1;
    if (name_length == 0) return 0;
    uint8_t numbers[8];
    if (!bytes_.ReadAt(cursor_ + 1, entry.name, name_length) ||
        !bytes_.ReadAt(cursor_ + 1 + name_length, numbers, sizeof(numbers)))
        return -1;
    cursor_ += 1 + name_length + static_cast<int64_t>(sizeof(numbers));
    entry.name[name_length] = 0;
    entry.name_length = name_length;
    entry.data_offset = ReadLittleEndian32(numbers);
    entry.stored_size = ReadLittleEndian32(numbers + 4);
    entry.data_position = counts_from_end_ ? bytes_.size() + entry.data_offset : entry.data_offset;
    return 1;
}

bool PayloadInsidePack(const PackBytes& bytes, const PackEntry& entry) {
    // A payload holds at least its 4-byte length and lies wholly inside the pack.
    return entry.stored_size >= 4 && entry.data_position >= 0 && entry.data_position <= bytes.size() &&
           entry.stored_size <= bytes.size() - entry.data_position;
}

bool ExpandPackEntry(PackBytes& bytes, const PackEntry& entry, PackCodec& codec, uint8_t** block, uint32_t* length) {
    *block = nullptr;
    *length = 0;
    if (!PayloadInsidePack(bytes, entry)) return false;
    if (const uint8_t* stored = bytes.MemoryAt(entry.data_position))
        return codec.Expand(stored, entry.stored_size, block, length);
    std::unique_ptr<uint8_t[]> stored(new (std::nothrow) uint8_t[entry.stored_size]);
    if (stored == nullptr || !bytes.ReadAt(entry.data_position, stored.get(), entry.stored_size)) return false;
    return codec.Expand(stored.get(), entry.stored_size, block, length);
}
