// Number formatting, hexadecimal dumps, console lines, searching, replacing and splitting.
#include "text/text_commands.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <new>

namespace {

// The widest conversion FormatNumber runs through printf: the digits of any single-precision value are exact
// after 149 decimals, so more decimals only add zeros, which are appended by hand instead.
constexpr int32_t kPrintedDecimalsLimit = 160;
// Room for "-", 39 integer digits, ".", 160 decimals and the terminator.
constexpr size_t kPrintedNumberBuffer = 256;
// Texts hold at most this many bytes (the text type's own limit, with room to spare).
constexpr int64_t kLongestText = 0x7FFFFFE0;

// Truncation toward zero that saturates instead of overflowing; NaN gives 0.
int32_t TruncateToInt(float value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0f) return INT32_MAX;
    if (value <= -2147483647.0f) return -INT32_MAX;
    return static_cast<int32_t>(value);
}

// Fills a text with count bytes copied from bytes.
void SetBytes(BasicString& target, const char* bytes, uint32_t count) {
    if (count == 0) {
        target.Clear();
        return;
    }
    target.Reserve(count, false);
    memcpy(target.data(), bytes, count);
    target.SetLength(static_cast<int32_t>(count));
}

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

}  // namespace

BasicString FormatNumber(float width, float decimals, float value) {
    const int32_t field_width = TruncateToInt(width);
    // A negative number of decimals is taken as printf takes a negative precision: as if none was given.
    int32_t precision = TruncateToInt(decimals);
    if (precision < 0) precision = 6;

    // The number is printed without the field width, and the padding and any decimals beyond what printf is
    // asked for are added by hand: the result is the one "%<width>.<decimals>f" gives, without printf ever
    // producing (and the caller waiting for) a field of millions of characters only to cut it to 39.
    char digits[kPrintedNumberBuffer];
    const int32_t printed_decimals = precision < kPrintedDecimalsLimit ? precision : kPrintedDecimalsLimit;
    const int printed = snprintf(digits, sizeof(digits), "%.*f", printed_decimals, static_cast<double>(value));
    const int64_t digit_count = printed > 0 ? printed : 0;
    const int64_t extra_zeros = precision - printed_decimals;
    const int64_t number_length = digit_count + extra_zeros;
    const bool left_aligned = field_width < 0;
    const int64_t padding_wanted = (left_aligned ? -static_cast<int64_t>(field_width) : field_width) - number_length;
    const int64_t padding = padding_wanted > 0 ? padding_wanted : 0;

    BasicString result;
    result.Reserve(kFormattedNumberLimit - 3, false);  // capacity 40: 39 characters and the terminator
    char* out = result.data();
    int32_t written = 0;
    auto put = [&](char c, int64_t count) {
        while (count-- > 0 && written < kFormattedNumberLimit) out[written++] = c;
    };
    if (!left_aligned) put(' ', padding);
    for (int64_t i = 0; i < digit_count && written < kFormattedNumberLimit; ++i) out[written++] = digits[i];
    put('0', extra_zeros);
    if (left_aligned) put(' ', padding);
    out[written] = 0;
    result.UpdateLength();
    return result;
}

BasicString HexText(const void* bytes, int32_t count) {
    static const char kDigits[] = "0123456789ABCDEF";
    BasicString result;
    if (bytes == nullptr || count < 1 || static_cast<int64_t>(count) * 2 > kLongestText) return result;
    const uint32_t length = static_cast<uint32_t>(count) * 2;
    result.Reserve(length, false);
    const unsigned char* source = static_cast<const unsigned char*>(bytes);
    char* out = result.data();
    for (int32_t i = 0; i < count; ++i) {
        out[2 * i] = kDigits[source[i] >> 4];
        out[2 * i + 1] = kDigits[source[i] & 15];
    }
    result.SetLength(static_cast<int32_t>(length));
    return result;
}

BasicString HexText(const BasicString& bytes, int32_t count) {
    const int64_t available = bytes.length();
    return HexText(bytes.c_str(), count < available ? count : static_cast<int32_t>(available));
}

BasicString CharText(int32_t code) {
    BasicString result;
    result.Reserve(1, false);
    result.data()[0] = static_cast<char>(code & 0xFF);
    result.SetLength(1);
    return result;
}

BasicString ReadConsoleLineFrom(FILE* stream) {
    char line[kConsoleLineLimit + 1];
    if (stream == nullptr || fgets(line, sizeof(line), stream) == nullptr) return BasicString();
    // A NUL byte read from the line ends the text there (a text holds no NUL of its own); the rest of that
    // line has been consumed with it.
    size_t length = strlen(line);
    if (length > 0 && line[length - 1] == '\n') line[--length] = 0;
    BasicString result;
    SetBytes(result, line, static_cast<uint32_t>(length));
    return result;
}

BasicString ReadConsoleLine() { return ReadConsoleLineFrom(stdin); }

int32_t NumberTextLength(float value) {
    char text[kNumberTextBufferSize];
    NumberToText(static_cast<double>(value), 10, text);
    return static_cast<int32_t>(strlen(text));
}

int32_t NumberTextLength(int32_t value) { return snprintf(nullptr, 0, "%d", value); }

int32_t Find(const char* text, const char* needle, int32_t start) {
    text = OrEmpty(text);
    needle = OrEmpty(needle);
    if (start < 0) return -1;
    // Every one of the first start characters must exist; strnlen looks no further than that.
    if (start != 0 && strnlen(text, static_cast<size_t>(start)) < static_cast<size_t>(start)) return -1;
    const char* found = strstr(text + start, needle);
    return found != nullptr ? static_cast<int32_t>(found - text) : -1;
}

int32_t Find(const BasicString& text, const BasicString& needle, int32_t start) {
    return Find(text.c_str(), needle.c_str(), start);
}

int32_t Find(const BasicString& text, const char* needle, int32_t start) { return Find(text.c_str(), needle, start); }

int32_t Find(const char* text, const BasicString& needle, int32_t start) { return Find(text, needle.c_str(), start); }

BasicString ReplaceText(const BasicString& text, const BasicString& search, const BasicString& replacement) {
    // The search text is matched up to its first NUL byte, as a C string, and skipped by that same length.
    const size_t search_length = strlen(search.c_str());
    if (search_length == 0) return text;
    const char* source = text.c_str();

    // Searching goes on right after each occurrence in the original text, which is where it would go on right
    // after the inserted replacement in the rebuilt text. So the result is built in one pass, after a first
    // pass that counts the occurrences to size it.
    int64_t occurrences = 0;
    for (const char* at = strstr(source, search.c_str()); at != nullptr; at = strstr(at + search_length, search.c_str()))
        ++occurrences;
    if (occurrences == 0) return text;

    const int64_t result_length = static_cast<int64_t>(text.length()) +
                                  occurrences * (static_cast<int64_t>(replacement.length()) - static_cast<int64_t>(search_length));
    BasicString result;
    if (result_length <= 0) return result;
    // A result too long for a text is refused the way the text type refuses any too-long text.
    if (result_length > kLongestText) throw std::bad_alloc();
    result.Reserve(static_cast<uint32_t>(result_length), false);
    char* out = result.data();
    const char* rest = source;
    for (const char* at = strstr(source, search.c_str()); at != nullptr; at = strstr(at + search_length, search.c_str())) {
        memcpy(out, rest, static_cast<size_t>(at - rest));
        out += at - rest;
        memcpy(out, replacement.c_str(), replacement.length());
        out += replacement.length();
        rest = at + search_length;
    }
    const size_t tail = static_cast<size_t>(source + text.length() - rest);
    memcpy(out, rest, tail);
    out += tail;
    result.SetLength(static_cast<int32_t>(out - result.data()));
    return result;
}

int32_t SplitText(const BasicString& text, const BasicString& delimiters, StrArray& fields) {
    // Emptying the array would destroy a text that is one of its own elements: work on a copy then.
    const BasicString* block_begin = fields.elements;
    const BasicString* block_end = fields.elements + fields.capacity;
    std::less<const BasicString*> before;
    auto in_block = [&](const BasicString* value) {
        return block_begin != nullptr && !before(value, block_begin) && before(value, block_end);
    };
    BasicString text_copy, delimiters_copy;
    const BasicString* source = &text;
    const BasicString* separators = &delimiters;
    if (in_block(source)) {
        text_copy = text;
        source = &text_copy;
    }
    if (in_block(separators)) {
        delimiters_copy = delimiters;
        separators = &delimiters_copy;
    }

    bool is_delimiter[256] = {};
    for (const unsigned char* d = reinterpret_cast<const unsigned char*>(separators->c_str()); *d != 0; ++d)
        is_delimiter[*d] = true;
    // The text ends at its first NUL byte, as every C-string view of it does.
    const unsigned char* begin = reinterpret_cast<const unsigned char*>(source->c_str());
    const unsigned char* end = begin + strnlen(source->c_str(), source->length());

    // First pass: count the fields, so that the array is dimensioned once rather than grown per field.
    int64_t count = 0;
    for (const unsigned char* p = begin; p < end;) {
        while (p < end && is_delimiter[*p]) ++p;
        if (p == end) break;
        ++count;
        while (p < end && !is_delimiter[*p]) ++p;
    }
    if (count == 0) {
        fields.RedimArray(0);
        return 0;
    }
    fields.DimArray(static_cast<int32_t>(count));
    if (fields.dim0 != count) return fields.dim0;

    int32_t index = 0;
    for (const unsigned char* p = begin; p < end;) {
        while (p < end && is_delimiter[*p]) ++p;
        if (p == end) break;
        const unsigned char* field = p;
        while (p < end && !is_delimiter[*p]) ++p;
        SetBytes(fields.elements[index++], reinterpret_cast<const char*>(field), static_cast<uint32_t>(p - field));
    }
    return fields.dim0;
}
