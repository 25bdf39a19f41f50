// LZO1X expansion and compression of pack payloads.
#include "files/pack_codec.h"

#include <lzo/lzo1x.h>

#include <new>

namespace {

bool LzoReady() {
    static const bool ready = lzo_init() == LZO_E_OK;
    return ready;
}

// LZO's own bound for what LZO1X-1 may write for incompressible input.
size_t CompressedBound(uint32_t length) { return size_t{length} + length / 16 + 64 + 3; }

}  // namespace

PackCodec::PackCodec() = default;
PackCodec::~PackCodec() = default;

bool PackCodec::Expand(const uint8_t* stored, int64_t stored_size, uint8_t** block, uint32_t* length) {
    *block = nullptr;
    *length = 0;
    if (stored == nullptr || stored_size < 4 || !LzoReady()) return false;
    const int32_t expanded = ReadLittleEndian32(stored);
    if (expanded < 0 || expanded > kPackMaxExpandedSize) return false;

    uint8_t* output = new (std::nothrow) uint8_t[expanded > 0 ? expanded : 1];
    if (output == nullptr) return false;
    lzo_uint produced = static_cast<lzo_uint>(expanded);
    const int status = lzo1x_decompress_safe(stored + 4, static_cast<lzo_uint>(stored_size - 4), output, &produced,
                                             nullptr);
    if (status != LZO_E_OK || produced != static_cast<lzo_uint>(expanded)) {
        delete[] output;
        return false;
    }
    *block = output;
    *length = static_cast<uint32_t>(expanded);
    return true;
}

std::vector<uint8_t> PackCodec::Compress(const uint8_t* data, uint32_t length) {
    std::vector<uint8_t> payload;
    if (!LzoReady() || length > kPackMaxExpandedSize) return payload;
    if (work_memory_.empty()) work_memory_.resize(LZO1X_1_MEM_COMPRESS);
    payload.resize(4 + CompressedBound(length));
    WriteLittleEndian32(payload.data(), static_cast<int32_t>(length));
    lzo_uint written = 0;
    static const uint8_t kNothing = 0;
    if (lzo1x_1_compress(length > 0 ? data : &kNothing, length, payload.data() + 4, &written,
                         work_memory_.data()) != LZO_E_OK) {
        payload.clear();
        return payload;
    }
    payload.resize(4 + written);
    return payload;
}
