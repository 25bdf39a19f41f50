// BasicString storage, conversions and comparisons.
#include "text/basic_string.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace {

// The one shared empty text. Never written, never freed.
const char kSharedEmpty[1] = {0};

char* SharedEmpty() { return const_cast<char*>(kSharedEmpty); }

// Texts are addressed with 32-bit lengths; a request this close to the limit would wrap the capacity
// arithmetic, so it is treated as a failed allocation.
constexpr uint32_t kLargestText = 0x7FFFFFF0u;

}  // namespace

BasicString::BasicString() : data_(SharedEmpty()), capacity_(0), length_(0) {}

BasicString::BasicString(const char* text) : BasicString() {
    if (text != nullptr) AppendBytes(text, static_cast<uint32_t>(strlen(text)));
}

BasicString::BasicString(const BasicString& other) : BasicString() { AppendBytes(other.data_, other.length_); }

BasicString::BasicString(BasicString&& other) noexcept : BasicString() { Swap(other); }

BasicString::BasicString(int32_t value) : BasicString() {
    Reserve(15);
    snprintf(data_, capacity_, "%d", value);
    UpdateLength();
}

BasicString::BasicString(float value) : BasicString(static_cast<double>(value)) {}

BasicString::BasicString(double value) : BasicString() {
    Reserve(63);
    NumberToText(value, 10, data_);
    UpdateLength();
}

BasicString::~BasicString() {
    if (capacity_ != 0) delete[] data_;
    data_ = nullptr;
    capacity_ = 0;
    length_ = 0;
}

BasicString& BasicString::operator=(const BasicString& other) {
    BasicString temporary(other);
    Swap(temporary);
    return *this;
}

BasicString& BasicString::operator=(BasicString&& other) noexcept {
    BasicString temporary(std::move(other));
    Swap(temporary);
    return *this;
}

BasicString& BasicString::operator=(const char* text) {
    BasicString temporary(text);
    Swap(temporary);
    return *this;
}

BasicString& BasicString::operator=(int32_t value) {
    BasicString temporary(value);
    Swap(temporary);
    return *this;
}

BasicString& BasicString::operator=(float value) {
    BasicString temporary(value);
    Swap(temporary);
    return *this;
}

BasicString& BasicString::operator=(double value) {
    BasicString temporary(value);
    Swap(temporary);
    return *this;
}

void BasicString::Assign(const char* text) {
    const size_t count = text != nullptr ? strlen(text) : 0;
    if (count == 0) {
        Clear();
        return;
    }
    if (count >= kLargestText) throw std::bad_alloc();
    // The new block is filled before the old one is freed, so assigning a value's own text is safe.
    char* block = new char[count + 1];
    memcpy(block, text, count + 1);
    if (capacity_ != 0) delete[] data_;
    data_ = block;
    capacity_ = static_cast<uint32_t>(count + 1);
    length_ = static_cast<uint32_t>(count);
}

void BasicString::Reserve(uint32_t n, bool keep) {
    if (n == 0 || n + 1 <= capacity_) return;
    if (n >= kLargestText) throw std::bad_alloc();
    const uint32_t new_capacity = ((n + 1) & ~3u) + 4;
    char* block = new char[new_capacity];
    if (keep && length_ > 0) {
        memcpy(block, data_, length_);
        block[length_] = 0;
    } else {
        block[0] = 0;
    }
    if (capacity_ != 0 && data_ != nullptr) delete[] data_;
    data_ = block;
    capacity_ = new_capacity;
}

void BasicString::UpdateLength() {
    const uint32_t count = static_cast<uint32_t>(strnlen(data_, capacity_));
    if (count == capacity_ && count != 0) {
        // Filled to the brim: keep capacity - 1 bytes so the text stays terminated.
        length_ = count - 1;
        data_[length_] = 0;
    } else {
        length_ = count;
    }
}

void BasicString::SetLength(int32_t n) {
    if (n < 0 || static_cast<uint32_t>(n) >= capacity_) return;
    data_[n] = 0;
    length_ = static_cast<uint32_t>(n);
}

void BasicString::Clear() {
    if (capacity_ != 0) delete[] data_;
    data_ = SharedEmpty();
    capacity_ = 0;
    length_ = 0;
}

void BasicString::Swap(BasicString& other) noexcept {
    std::swap(data_, other.data_);
    std::swap(capacity_, other.capacity_);
    std::swap(length_, other.length_);
}

bool BasicString::UsesSharedEmpty() const { return data_ == kSharedEmpty; }

void BasicString::AppendBytes(const char* bytes, uint32_t count) {
    if (count == 0) return;
    if (count >= kLargestText - length_) throw std::bad_alloc();
    // Appending a piece of this value's own text: the bytes move with the buffer when it grows.
    const bool from_self = bytes >= data_ && bytes < data_ + length_;
    const uint32_t offset = from_self ? static_cast<uint32_t>(bytes - data_) : 0;
    Reserve(length_ + count, true);
    if (from_self) bytes = data_ + offset;
    memmove(data_ + length_, bytes, count);
    length_ += count;
    data_[length_] = 0;
}

BasicString& BasicString::Append(const char* text) {
    if (text != nullptr) AppendBytes(text, static_cast<uint32_t>(strlen(text)));
    return *this;
}

BasicString& BasicString::Append(const BasicString& text) {
    AppendBytes(text.data_, text.length_);
    return *this;
}

BasicString& BasicString::Append(int32_t value) { return Append(BasicString(value)); }
BasicString& BasicString::Append(float value) { return Append(BasicString(value)); }
BasicString& BasicString::Append(double value) { return Append(BasicString(value)); }

float BasicString::ToFloat() const { return static_cast<float>(strtod(data_, nullptr)); }

int32_t BasicString::ToInt() const {
    const long value = strtol(data_, nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void BasicString::MakeUpper() {
    for (uint32_t i = 0; i < length_; ++i)
        if (data_[i] >= 'a' && data_[i] <= 'z') data_[i] = static_cast<char>(data_[i] - 'a' + 'A');
}

void BasicString::MakeLower() {
    for (uint32_t i = 0; i < length_; ++i)
        if (data_[i] >= 'A' && data_[i] <= 'Z') data_[i] = static_cast<char>(data_[i] - 'A' + 'a');
}

void BasicString::TrimControlTail() {
    uint32_t end = length_;
    while (end > 0 && static_cast<unsigned char>(data_[end - 1]) < 32) --end;
    if (end == length_) return;
    length_ = end;
    data_[end] = 0;
}

// The runtime's one rule for showing a floating-point number. "%#g" keeps the point and the trailing zeros,
// which are then trimmed by hand: a leading "0." loses its zero (".25"), trailing zeros go while more than
// two characters follow the sign (so 0 gives ".0" and -0.0 gives "-.0"), and a point left at the end goes.
// In exponent form only a point standing right before the 'e' is removed.
char* NumberToText(double value, int precision, char* buffer) {
    snprintf(buffer, kNumberTextBufferSize, "%-#.*g", precision, value);
    char* text = buffer[0] == '-' ? buffer + 1 : buffer;
    if (text[0] == '0' && text[1] == '.') memmove(text, text + 1, strlen(text));
    char* exponent = strchr(text, 'e');
    if (exponent == nullptr) {
        size_t length = strlen(text);
        while (length > 2 && text[length - 1] == '0') text[--length] = 0;
        if (length > 0 && text[length - 1] == '.') text[--length] = 0;
    } else if (exponent > text && exponent[-1] == '.') {
        memmove(exponent - 1, exponent, strlen(exponent) + 1);
    }
    return buffer;
}

BasicString ToLowerCopy(const BasicString& text) {
    BasicString copy(text);
    copy.MakeLower();
    return copy;
}

BasicString ToUpperCopy(const BasicString& text) {
    BasicString copy(text);
    copy.MakeUpper();
    return copy;
}

BasicString Substring(const BasicString& source, int32_t start, int32_t count) {
    const int64_t length = source.length();
    int64_t wanted = count < 0 ? length : count;
    if (static_cast<int64_t>(start) + wanted > length) wanted = length - start;
    BasicString result;
    if (start >= 0 && start < length && wanted > 0) {
        result.Reserve(static_cast<uint32_t>(wanted) + 1, true);
        memcpy(result.data(), source.data() + start, static_cast<size_t>(wanted));
        result.data()[wanted] = 0;
        result.UpdateLength();
    }
    return result;
}

// Concatenation ---------------------------------------------------------------------------------------------

BasicString operator+(const BasicString& left, const BasicString& right) { return BasicString(left).Append(right); }
BasicString operator+(const BasicString& left, const char* right) { return BasicString(left).Append(right); }
BasicString operator+(const char* left, const BasicString& right) { return BasicString(left).Append(right); }
BasicString operator+(const BasicString& left, int32_t right) { return BasicString(left).Append(right); }
BasicString operator+(int32_t left, const BasicString& right) { return BasicString(left).Append(right); }
BasicString operator+(const BasicString& left, float right) { return BasicString(left).Append(right); }
BasicString operator+(float left, const BasicString& right) { return BasicString(left).Append(right); }
BasicString operator+(const BasicString& left, double right) { return BasicString(left).Append(right); }
BasicString operator+(double left, const BasicString& right) { return BasicString(left).Append(right); }

// Text with text ----------------------------------------------------------------------------------------------

namespace {
const char* TextOf(const char* text) { return text != nullptr ? text : ""; }
int Order(const char* left, const char* right) { return strcmp(TextOf(left), TextOf(right)); }
}  // namespace

bool operator==(const BasicString& left, const BasicString& right) {
    return left.length() == right.length() && strcmp(left.c_str(), right.c_str()) == 0;
}
bool operator!=(const BasicString& left, const BasicString& right) { return Order(left.c_str(), right.c_str()) != 0; }
bool operator<(const BasicString& left, const BasicString& right) { return Order(left.c_str(), right.c_str()) < 0; }
bool operator<=(const BasicString& left, const BasicString& right) { return Order(left.c_str(), right.c_str()) <= 0; }
bool operator>(const BasicString& left, const BasicString& right) { return Order(left.c_str(), right.c_str()) > 0; }
bool operator>=(const BasicString& left, const BasicString& right) { return Order(left.c_str(), right.c_str()) >= 0; }

#define KORVANE_TEXT_TEXT(LeftType, LeftText, RightType, RightText)                                           \
    bool operator==(LeftType left, RightType right) { return Order(LeftText, RightText) == 0; }              \
    bool operator!=(LeftType left, RightType right) { return Order(LeftText, RightText) != 0; }              \
    bool operator<(LeftType left, RightType right) { return Order(LeftText, RightText) < 0; }                \
    bool operator<=(LeftType left, RightType right) { return Order(LeftText, RightText) <= 0; }              \
    bool operator>(LeftType left, RightType right) { return Order(LeftText, RightText) > 0; }                \
    bool operator>=(LeftType left, RightType right) { return Order(LeftText, RightText) >= 0; }
KORVANE_TEXT_TEXT(const BasicString&, left.c_str(), const char*, right)
KORVANE_TEXT_TEXT(const char*, left, const BasicString&, right.c_str())
#undef KORVANE_TEXT_TEXT

// Text with number -------------------------------------------------------------------------------------------

namespace {
int32_t ReadAs(const BasicString& text, int32_t) { return text.ToInt(); }
float ReadAs(const BasicString& text, float) { return text.ToFloat(); }
double ReadAs(const BasicString& text, double) { return static_cast<double>(text.ToFloat()); }
}  // namespace

#define KORVANE_TEXT_NUMBER(NumberType)                                                                        \
    bool operator==(const BasicString& l, NumberType r) { return ReadAs(l, r) == r; }                          \
    bool operator!=(const BasicString& l, NumberType r) { return ReadAs(l, r) != r; }                          \
    bool operator<(const BasicString& l, NumberType r) { return ReadAs(l, r) < r; }                            \
    bool operator<=(const BasicString& l, NumberType r) { return ReadAs(l, r) <= r; }                          \
    bool operator>(const BasicString& l, NumberType r) { return ReadAs(l, r) > r; }                            \
    bool operator>=(const BasicString& l, NumberType r) { return ReadAs(l, r) >= r; }                          \
    bool operator==(NumberType l, const BasicString& r) { return l == ReadAs(r, l); }                          \
    bool operator!=(NumberType l, const BasicString& r) { return l != ReadAs(r, l); }                          \
    bool operator<(NumberType l, const BasicString& r) { return l < ReadAs(r, l); }                            \
    bool operator<=(NumberType l, const BasicString& r) { return l <= ReadAs(r, l); }                          \
    bool operator>(NumberType l, const BasicString& r) { return l > ReadAs(r, l); }                            \
    bool operator>=(NumberType l, const BasicString& r) { return l >= ReadAs(r, l); }
KORVANE_TEXT_NUMBER(int32_t)
KORVANE_TEXT_NUMBER(float)
KORVANE_TEXT_NUMBER(double)
#undef KORVANE_TEXT_NUMBER

int CompareWithNumber(const BasicString& text, float number) {
    const float value = text.ToFloat();
    return (value > number) - (value < number);
}

int CompareWithNumber(const BasicString& text, int32_t number) {
    const int32_t value = text.ToInt();
    return (value > number) - (value < number);
}
