// The PNG reader and writer, through libpng with our own read and write callbacks.
//
// libpng reports errors by jumping back to the setjmp in the call that started the work. Everything that
// must be released after such a jump (libpng's structures, row buffers, the file) lives in a state record
// on the heap whose address is fixed before the jump point, so the error path releases it all: a corrupt
// row ends the read as a plain failure, never a crash or a leak.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "files/memory_file.h"
#include "video/byte_source.h"
#include "video/image_files.h"

namespace {

// libpng's own handlers print to standard error; the runtime's PNG failures are silent.
void SilentError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void SilentWarning(png_structp, png_const_charp) {}

// libpng allocates a chunk's whole declared length before reading it, and only warns when the length is
// beyond the chunk limit. No allocation a picture needs comes near 8 MiB (a row of the widest picture is
// 128 KiB), so larger requests are refused and the read fails.
constexpr png_alloc_size_t kMaxLibpngAllocation = 8u * 1024 * 1024;

png_voidp BoundedAllocate(png_structp, png_alloc_size_t size) {
    return size <= kMaxLibpngAllocation ? malloc(size) : nullptr;
}

void ReleaseAllocation(png_structp, png_voidp block) { free(block); }

// A short read is an error: libpng never decodes bytes that the file does not hold.
void ReadFromSource(png_structp png, png_bytep out, png_size_t count) {
    ByteSource* source = static_cast<ByteSource*>(png_get_io_ptr(png));
    if (!source->Read(out, count)) png_error(png, "read past the end");
}

struct PngReadState {
    ByteSource source;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytepp rows = nullptr;

    ~PngReadState() {
        delete[] rows;
        if (png != nullptr) png_destroy_read_struct(&png, info != nullptr ? &info : nullptr, nullptr);
    }
};

// Everything up to and including the conversion into the DecodedImage. False on any failure.
bool DecodePng(PngReadState* const state, DecodedImage& image, const char* name, int32_t key_colour) {
    if (!state->source.Open(name)) return false;
    state->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning, nullptr,
                                          BoundedAllocate, ReleaseAllocation);
    if (state->png == nullptr) return false;
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) return false;
    png_structp png = state->png;
    png_infop info = state->info;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, &state->source, ReadFromSource);
    png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
    png_set_chunk_malloc_max(png, kMaxLibpngAllocation);
    // Only the picture's own chunks and tRNS matter here. The other ancillary chunks (texts, profiles, ...)
    // are skipped unread, so a large one costs nothing and cannot be refused halfway.
    static const png_byte kIgnoredChunks[] = "bKGD\0cHRM\0eXIf\0gAMA\0hIST\0iCCP\0iTXt\0oFFs\0pCAL\0pHYs\0"
                                             "sBIT\0sCAL\0sPLT\0sRGB\0tEXt\0tIME\0zTXt";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kIgnoredChunks, 17);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);

    png_read_info(png, info);
    const int colour_type = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (colour_type == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (colour_type == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_expand(png);
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    if (channels != 1 && channels != 3 && channels != 4) return false;
    const int new_depth = png_get_bit_depth(png, info);
    if (new_depth != 8) {
        printf("File %s has bit depth %d.\n", name, new_depth);
        puts("Only bit depth of 8 is supported.");
        return false;
    }
    const int new_type = png_get_color_type(png, info);
    if (new_type != PNG_COLOR_TYPE_RGB && new_type != PNG_COLOR_TYPE_GRAY && new_type != PNG_COLOR_TYPE_RGB_ALPHA) {
        printf("File %s has unsupported color type.\n", name);
        puts("Types GRAY, RGB and RGB_ALPHA are supported.");
        return false;
    }
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const size_t row_bytes = png_get_rowbytes(png, info);
    if (width == 0 || height == 0 || width > static_cast<png_uint_32>(kMaxImageSide) ||
        height > static_cast<png_uint_32>(kMaxImageSide) || row_bytes < static_cast<size_t>(width) * channels)
        return false;
    if (row_bytes > static_cast<size_t>(width) * 4) return false;

    // The rows are decoded straight into the picture's buffer, each at the start of its own 4-byte-per-pixel
    // row, and widened in place afterwards: no second copy of the picture is needed.
    if (!SizeDecodedImage(image, static_cast<int32_t>(width), static_cast<int32_t>(height))) return false;
    state->rows = new (std::nothrow) png_bytep[height];
    if (state->rows == nullptr) return false;
    for (png_uint_32 i = 0; i < height; ++i) state->rows[i] = image.rgba + static_cast<uint64_t>(i) * width * 4;
    png_read_image(png, state->rows);

    const bool keyed = key_colour != kNoColourKey;
    for (png_uint_32 y = 0; y < height && channels != 4; ++y) {
        uint8_t* row = state->rows[y];
        // From the last pixel back to the first, so that no sample is overwritten before it is read.
        for (int64_t x = static_cast<int64_t>(width) - 1; x >= 0; --x) {
            uint8_t* out = row + x * 4;
            if (channels == 3) {
                const uint8_t red = row[x * 3], green = row[x * 3 + 1], blue = row[x * 3 + 2];
                if (keyed && (red | (green << 8) | (blue << 16)) == key_colour) {
                    out[0] = out[1] = out[2] = out[3] = 0;
                    continue;
                }
                out[0] = red;
                out[1] = green;
                out[2] = blue;
            } else {
                out[0] = out[1] = out[2] = row[x];
            }
            out[3] = 255;
        }
    }
    return true;
}

void WriteToFile(png_structp png, png_bytep data, png_size_t count) {
    FILE* file = static_cast<FILE*>(png_get_io_ptr(png));
    if (count != 0 && fwrite(data, count, 1, file) != 1) png_error(png, "write failed");
}
void FlushNothing(png_structp) {}

struct PngWriteState {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    png_bytepp rows = nullptr;

    ~PngWriteState() {
        delete[] rows;
        if (png != nullptr) png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
        if (file != nullptr) fclose(file);
    }
};

bool EncodePng(PngWriteState* const state, const uint8_t* pixels, int32_t width, int32_t height) {
    state->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, SilentError, SilentWarning);
    if (state->png == nullptr) return false;
    state->info = png_create_info_struct(state->png);
    if (state->info == nullptr) return false;
    state->rows = new (std::nothrow) png_bytep[height];
    if (state->rows == nullptr) return false;
    for (int32_t i = 0; i < height; ++i)
        state->rows[i] = const_cast<png_bytep>(pixels) + static_cast<uint64_t>(i) * width * 4;
    png_structp png = state->png;
    png_infop info = state->info;
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, state->file, WriteToFile, FlushNothing);
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_packing(png);
    png_set_bgr(png);
    png_write_image(png, state->rows);
    png_write_end(png, info);
    // A full disk may only show when the last buffered bytes leave.
    const int closed = fclose(state->file);
    state->file = nullptr;
    return closed == 0;
}

}  // namespace

int32_t ReadPngImage(DecodedImage& image, const char* name, int32_t key_colour) {
    PngReadState* const state = new (std::nothrow) PngReadState();
    if (state == nullptr) return 0;
    const bool decoded = DecodePng(state, image, name, key_colour);
    delete state;
    if (decoded) return 1;
    EmptyDecodedImage(image);
    return 0;
}

int32_t WritePngImage(const char* name, const uint8_t* rows, int32_t width, int32_t height) {
    if (name == nullptr || IsMemoryFileName(name) || rows == nullptr || width <= 0 || height <= 0) return 0;
    remove(name);
    PngWriteState* const state = new (std::nothrow) PngWriteState();
    if (state == nullptr) return 0;
    state->file = fopen(name, "wb");
    if (state->file == nullptr) {
        printf("can't write to file: %s\n", name);
        delete state;
        return 0;
    }
    const bool written = EncodePng(state, rows, width, height);
    delete state;
    return written ? 1 : 0;
}
