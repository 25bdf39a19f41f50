// BasicString: the runtime's one text value.
//
// A small record of three words (data, capacity, length) with its own heap buffer. The empty text points at
// one shared static NUL byte, so the very common empty value costs no allocation. The value also carries the
// runtime's fixed rules for mixing text and numbers: a number joined to a text is printed by NumberToText, a
// text compared with a number is read as a number first (ToInt or ToFloat).
#pragma once

#include <cstdint>

class BasicString {
public:
    BasicString();
    BasicString(const char* text);
    BasicString(const BasicString& other);
    BasicString(BasicString&& other) noexcept;
    explicit BasicString(int32_t value);
    explicit BasicString(float value);
    explicit BasicString(double value);
    ~BasicString();

    // Assignment builds a temporary from the source and swaps it in.
    BasicString& operator=(const BasicString& other);
    BasicString& operator=(BasicString&& other) noexcept;
    BasicString& operator=(const char* text);
    BasicString& operator=(int32_t value);
    BasicString& operator=(float value);
    BasicString& operator=(double value);

    // The direct form used by loaders that fill many values in a row: the buffer is exactly strlen + 1 bytes.
    void Assign(const char* text);

    // Makes room for n bytes of text (plus the terminator). Capacities step by 4, never geometrically.
    void Reserve(uint32_t n, bool keep = true);
    // Recounts length after the buffer was written through data().
    void UpdateLength();
    // Cuts the text at position n when 0 <= n < capacity; otherwise nothing.
    void SetLength(int32_t n);
    void Clear();
    void Swap(BasicString& other) noexcept;

    BasicString& Append(const char* text);
    BasicString& Append(const BasicString& text);
    BasicString& Append(int32_t value);
    BasicString& Append(float value);
    BasicString& Append(double value);
    template <typename T>
    BasicString& operator+=(const T& value) { return Append(value); }

    float ToFloat() const;
    // Base 10, saturating at the int32 limits as strtol does where long is 32 bits.
    int32_t ToInt() const;

    void MakeUpper();
    void MakeLower();
    // Removes trailing bytes 0..31 (line ends and other control characters).
    void TrimControlTail();

    char* data() { return data_; }
    const char* data() const { return data_; }
    const char* c_str() const { return data_; }
    uint32_t capacity() const { return capacity_; }
    uint32_t length() const { return length_; }
    bool empty() const { return length_ == 0; }
    // True while the value points at the shared static empty text (it owns no buffer).
    bool UsesSharedEmpty() const;

private:
    void AppendBytes(const char* bytes, uint32_t count);

    char* data_;
    uint32_t capacity_;
    uint32_t length_;
};

// Writes value in the runtime's one number format (see basic_string.cpp) into buffer, which must hold at
// least kNumberTextBufferSize bytes. Returns buffer.
constexpr int kNumberTextBufferSize = 64;
char* NumberToText(double value, int precision, char* buffer);

BasicString ToLowerCopy(const BasicString& text);
BasicString ToUpperCopy(const BasicString& text);
BasicString Substring(const BasicString& source, int32_t start, int32_t count);

// Concatenation: a new value from the left operand, then the right one appended.
BasicString operator+(const BasicString& left, const BasicString& right);
BasicString operator+(const BasicString& left, const char* right);
BasicString operator+(const char* left, const BasicString& right);
BasicString operator+(const BasicString& left, int32_t right);
BasicString operator+(int32_t left, const BasicString& right);
BasicString operator+(const BasicString& left, float right);
BasicString operator+(float left, const BasicString& right);
BasicString operator+(const BasicString& left, double right);
BasicString operator+(double left, const BasicString& right);

// Text with text: byte-wise order of unsigned bytes.
bool operator==(const BasicString& left, const BasicString& right);
bool operator!=(const BasicString& left, const BasicString& right);
bool operator<(const BasicString& left, const BasicString& right);
bool operator<=(const BasicString& left, const BasicString& right);
bool operator>(const BasicString& left, const BasicString& right);
bool operator>=(const BasicString& left, const BasicString& right);
bool operator==(const BasicString& left, const char* right);
bool operator!=(const BasicString& left, const char* right);
bool operator<(const BasicString& left, const char* right);
bool operator<=(const BasicString& left, const char* right);
bool operator>(const BasicString& left, const char* right);
bool operator>=(const BasicString& left, const char* right);
bool operator==(const char* left, const BasicString& right);
bool operator!=(const char* left, const BasicString& right);
bool operator<(const char* left, const BasicString& right);
bool operator<=(const char* left, const BasicString& right);
bool operator>(const char* left, const BasicString& right);
bool operator>=(const char* left, const BasicString& right);

// Text with number: the text is read as a number first (ToInt for integers, ToFloat for singles, ToFloat
// widened back for doubles, so a text carries only single precision in that comparison).
#define KORVANE_TEXT_NUMBER_COMPARISONS(NumberType)                 \
    bool operator==(const BasicString& left, NumberType right);     \
    bool operator!=(const BasicString& left, NumberType right);     \
    bool operator<(const BasicString& left, NumberType right);      \
    bool operator<=(const BasicString& left, NumberType right);     \
    bool operator>(const BasicString& left, NumberType right);      \
    bool operator>=(const BasicString& left, NumberType right);     \
    bool operator==(NumberType left, const BasicString& right);     \
    bool operator!=(NumberType left, const BasicString& right);     \
    bool operator<(NumberType left, const BasicString& right);      \
    bool operator<=(NumberType left, const BasicString& right);     \
    bool operator>(NumberType left, const BasicString& right);      \
    bool operator>=(NumberType left, const BasicString& right);
KORVANE_TEXT_NUMBER_COMPARISONS(int32_t)
KORVANE_TEXT_NUMBER_COMPARISONS(float)
KORVANE_TEXT_NUMBER_COMPARISONS(double)
#undef KORVANE_TEXT_NUMBER_COMPARISONS

// Three-way comparisons of a text read as a number: -1, 0 or 1.
int CompareWithNumber(const BasicString& text, float number);
int CompareWithNumber(const BasicString& text, int32_t number);
