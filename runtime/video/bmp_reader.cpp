// The BMP reader: 1, 4, 8, 24 and 32 bits per pixel, the 12-byte core and the 40-byte info header, palettes.
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include "video/byte_source.h"
#include "video/image_files.h"

namespace {

constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kFileHeaderSize = 14;

uint16_t Little16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t Little32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

struct BmpLayout {
    int32_t width = 0;
    int32_t height = 0;
    bool top_down = false;
    uint32_t bits = 0;
    uint32_t palette_entry_size = 0;  // 3 (core header) or 4 (info header)
};

bool Decode(DecodedImage& image, ByteSource& source, int32_t key_colour) {
    uint8_t file_header[kFileHeaderSize];
    // The magic is checked before anything else is read, so that a PNG costs two bytes here.
    if (!source.Read(file_header, 2) || file_header[0] != 'B' || file_header[1] != 'M') return false;
    if (!source.Read(file_header + 2, kFileHeaderSize - 2)) return false;
    const uint32_t data_offset = Little32(file_header + 10);
    uint8_t size_field[4];
    if (!source.Read(size_field, 4)) return false;
    const uint32_t header_size = Little32(size_field);
    if (header_size != kCoreHeaderSize && header_size != kInfoHeaderSize) return false;
    // The data offset bounds the header area; one that ends inside the header or lies beyond the file is a
    // lie about the layout.
    const uint64_t header_end = kFileHeaderSize + static_cast<uint64_t>(header_size);
    const uint64_t bytes_after_size_field = source.Remaining();
    if (data_offset < header_end || data_offset - (kFileHeaderSize + 4) > bytes_after_size_field) return false;

    uint8_t header[kInfoHeaderSize];
    if (!source.Read(header, header_size - 4)) return false;
    BmpLayout layout;
    int64_t height = 0;
    if (header_size == kCoreHeaderSize) {
        layout.width = Little16(header);
        height = Little16(header + 2);
        layout.bits = Little16(header + 6);
        layout.palette_entry_size = 3;
    } else {
        layout.width = static_cast<int32_t>(Little32(header));
        height = static_cast<int32_t>(Little32(header + 4));
        layout.bits = Little16(header + 10);
        layout.palette_entry_size = 4;
        // Only uncompressed rows (0, or 3: bit fields, whose masks then sit where a palette would) are read;
        // taking run-length or embedded JPEG/PNG data for pixels would give a picture of noise.
        const uint32_t compression = Little32(header + 12);
        if (compression != 0 && compression != 3) return false;
    }
    // A negative height marks rows stored top row first; such a file is read upright, as every other reader
    // of the format shows it, instead of upside down.
    layout.top_down = height < 0;
    height = std::llabs(height);
    if (layout.width <= 0 || height <= 0 || layout.width > kMaxImageSide || height > kMaxImageSide) return false;
    layout.height = static_cast<int32_t>(height);
    const uint32_t bits = layout.bits;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) return false;

    // The palette is whatever lies between the header and the pixel data, and the pixel data starts at the
    // data offset. For a well-formed file this is the same as reading a palette of the header's kind right
    // after the header; it also reads small core-header files (a 1-bit picture's header area is only 18
    // bytes) whose palette would otherwise be taken for pixels.
    const uint64_t palette_bytes = data_offset - header_end;
    std::unique_ptr<uint8_t[]> palette(new (std::nothrow) uint8_t[palette_bytes + 4]);
    if (palette == nullptr || !source.Read(palette.get(), palette_bytes)) return false;
    uint64_t palette_entries = palette_bytes / layout.palette_entry_size;
    const bool indexed = bits <= 8;
    if (indexed) {
        if (palette_entries > (1u << bits)) palette_entries = 1u << bits;
        // An indexed picture without a single palette entry has no colours to give.
        if (palette_entries == 0) return false;
    }

    const uint64_t row_length = ((static_cast<uint64_t>(bits) * layout.width + 31) / 32) * 4;
    const uint64_t data_bytes = row_length * layout.height;
    if (data_bytes > source.Remaining()) return false;
    std::unique_ptr<uint8_t[]> data(new (std::nothrow) uint8_t[data_bytes]);
    if (data == nullptr || !source.Read(data.get(), data_bytes)) return false;
    if (!SizeDecodedImage(image, layout.width, layout.height)) return false;

    const uint8_t* colours = palette.get();
    const uint32_t entry_size = layout.palette_entry_size;
    const uint32_t entry_count = static_cast<uint32_t>(palette_entries);
    const bool keyed = key_colour != kNoColourKey;
    for (int32_t y = 0; y < layout.height; ++y) {
        const int32_t file_row = layout.top_down ? y : layout.height - 1 - y;
        const uint8_t* row = data.get() + static_cast<uint64_t>(file_row) * row_length;
        uint8_t* out = image.rgba + static_cast<uint64_t>(y) * layout.width * 4;
        for (int32_t x = 0; x < layout.width; ++x, out += 4) {
            uint8_t blue, green, red;
            if (indexed) {
                uint32_t index;
                if (bits == 1)
                    index = (row[x / 8] >> (7 - x % 8)) & 1;
                else if (bits == 4)
                    index = (x % 2 == 0) ? row[x / 2] >> 4 : row[x / 2] & 15;
                else
                    index = row[x];
                // An index beyond the palette reads as black rather than outside the palette.
                if (index < entry_count) {
                    const uint8_t* entry = colours + index * entry_size;
                    blue = entry[0];
                    green = entry[1];
                    red = entry[2];
                } else {
                    blue = green = red = 0;
                }
            } else {
                const uint8_t* pixel = row + static_cast<uint64_t>(x) * (bits / 8);
                blue = pixel[0];
                green = pixel[1];
                red = pixel[2];
            }
            if (keyed && (red | (green << 8) | (blue << 16)) == key_colour) continue;  // stays all zero
            out[0] = red;
            out[1] = green;
            out[2] = blue;
            out[3] = 255;
        }
    }
    return true;
}

}  // namespace

int32_t ReadBmpImage(DecodedImage& image, const char* name, int32_t key_colour) {
    ByteSource source;
    if (source.Open(name) && Decode(image, source, key_colour)) return 1;
    EmptyDecodedImage(image);
    return 0;
}
