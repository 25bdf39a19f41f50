// The runtime's arrays: numeric arrays of 32-bit integers or singles, and arrays of texts.
//
// Arrays have up to four dimensions, the first index varying fastest. Dimensioning clears the contents,
// redimensioning keeps the part that lies inside both the old and the new dimensions. Every element access is
// tested against the dimensions; an access outside them ends the program with runtime error 9, appending to
// a text array of more than one dimension with error 8, and dimensions whose elements cannot be held (the
// count overflows 32 bits or the memory is not there) with error 7.
//
// Small numeric arrays (up to 16 elements) live in a block inside the array itself and never touch the heap.
// Capacities grow in steps of 8 elements (numbers) or 64 elements (texts), and a dimensioning that fits the
// current block reuses it.
//
// Game code indexes with a(i, j): a(2, 3) = 7; x = a(-1) reads the last element of a one-dimensional array.
// The fields are public so that other commands can read the dimensions; only the commands below change them.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "text/basic_string.h"

namespace array_detail {

// How far an index may go in the second to fourth dimension: one that is not present (0) allows only index
// 0, a negative one allows none. (The first dimension is never absent: its index must be below dim0.) Unsigned comparison folds the test for negative indexes into the same compare.
inline bool IndexInside(int32_t index, int32_t dimension) {
    const uint32_t limit = dimension > 0 ? static_cast<uint32_t>(dimension) : (dimension == 0 ? 1u : 0u);
    return static_cast<uint32_t>(index) < limit;
}

// Runtime error 9. It does not return: should the error come while the program is already finishing, there is
// no element to hand back and the process ends at once. (Knowing that the failed test never comes back is also
// what lets the compiler keep an array's fields in registers across a loop of accesses.)
[[noreturn]] void EndOnBadIndex();

// The place of element (i, j, k, l), or runtime error 9. A negative i counts once from the end of the first
// dimension. Every field is read and the place computed before the test (in unsigned arithmetic, so that bad
// indexes cannot overflow): reads that happen on every call can be taken out of a loop of calls, which makes a
// tested access cost little more than a plain one.
inline uint32_t ElementIndex(int32_t i, int32_t j, int32_t k, int32_t l, int32_t dim0, int32_t dim1, int32_t dim2,
                             int32_t dim3, int32_t stride1, int32_t stride2, int32_t stride3) {
    if (i < 0) i += dim0;
    // One test for all four dimensions, without a branch per dimension.
    const int inside = static_cast<int>(static_cast<uint32_t>(i) < static_cast<uint32_t>(dim0)) &
                       static_cast<int>(IndexInside(j, dim1)) & static_cast<int>(IndexInside(k, dim2)) &
                       static_cast<int>(IndexInside(l, dim3));
    const uint32_t index = static_cast<uint32_t>(i) + static_cast<uint32_t>(j) * static_cast<uint32_t>(stride1) +
                           static_cast<uint32_t>(k) * static_cast<uint32_t>(stride2) +
                           static_cast<uint32_t>(l) * static_cast<uint32_t>(stride3);
    if (__builtin_expect(!inside, 0)) EndOnBadIndex();
    return index;
}

// The shape that a set of dimensions gives: element count, strides, stored dimensions and rank, and the
// capacity the element block needs. Valid is false when the elements cannot be counted in 32 bits.
struct ArrayShape {
    bool valid = false;
    int32_t element_count = 0;
    int32_t needed_capacity = 0;
    int32_t stride1 = 0, stride2 = 0, stride3 = 0;
    int32_t dim0 = 0, dim1 = 0, dim2 = 0, dim3 = 0;
    int32_t rank = 0;
};

// capacity_step is 8 for numeric arrays and 64 for text arrays.
ArrayShape PlanShape(int32_t d0, int32_t d1, int32_t d2, int32_t d3, int32_t capacity_step);
// The element count of the dimensions an array holds now.
int32_t ElementCountOf(int32_t dim0, int32_t dim1, int32_t dim2, int32_t dim3);

}  // namespace array_detail

// A numeric array; Element is int32_t or float. Both kinds share one implementation over 4-byte elements.
template <typename Element>
class NumArray {
    static_assert(sizeof(Element) == 4, "numeric arrays hold 4-byte elements");

public:
    static constexpr int32_t kInlineCapacity = 16;

    NumArray() noexcept;
    NumArray(const NumArray& other);
    NumArray(NumArray&& other) noexcept;
    NumArray& operator=(const NumArray& other);
    NumArray& operator=(NumArray&& other) noexcept;
    ~NumArray();

    // Clears the array to the given dimensions (absent trailing dimensions are 0); d0 below 1 gives an empty
    // array.
    void DimArray(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0);
    // Changes the dimensions and keeps every element whose indexes lie inside both the old and the new ones.
    void RedimArray(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0);
    // Takes the source's dimensions and contents.
    void CopyArray(const NumArray& source);
    // DimArray(count), then elements 0..count-1 from values.
    void FillArray(int32_t count, const Element* values);
    void FillArray(std::initializer_list<Element> values);

    // The element at (i, j, k, l); a negative i counts once from the end of the first dimension. An index
    // outside the dimensions is runtime error 9.
    Element& ArrayElement(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) {
        return elements[array_detail::ElementIndex(i, j, k, l, dim0, dim1, dim2, dim3, stride1, stride2, stride3)];
    }
    const Element& ArrayElement(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) const {
        return const_cast<NumArray*>(this)->ArrayElement(i, j, k, l);
    }
    Element& operator()(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) { return ArrayElement(i, j, k, l); }
    const Element& operator()(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) const {
        return const_cast<NumArray*>(this)->ArrayElement(i, j, k, l);
    }

    // The length of the first dimension.
    int32_t ElementCount() const { return dim0; }

    Element* elements;
    Element inline_elements[kInlineCapacity];
    int32_t stride1, stride2, stride3;
    int32_t dim0, dim1, dim2, dim3;
    int32_t rank;
    int32_t capacity;

private:
    void ReleaseBlock();
    // Gives the block room for new_capacity elements, keeping the first kept; the rest of it becomes zero.
    bool ResizeBlock(int32_t new_capacity, int32_t kept);
    // The state of a fresh array: the inline block, capacity 0, no dimensions.
    void BecomeEmpty();
    void TakeShape(const array_detail::ArrayShape& shape);
};

using IntArray = NumArray<int32_t>;
using FloatArray = NumArray<float>;

extern template class NumArray<int32_t>;
extern template class NumArray<float>;

// An array of texts. Its block always holds `capacity` constructed values; those past the elements in use
// are empty.
class StrArray {
public:
    StrArray() noexcept;
    StrArray(const StrArray& other);
    StrArray(StrArray&& other) noexcept;
    StrArray& operator=(const StrArray& other);
    StrArray& operator=(StrArray&& other) noexcept;
    ~StrArray();

    void DimArray(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0);
    void RedimArray(int32_t d0, int32_t d1 = 0, int32_t d2 = 0, int32_t d3 = 0);
    void CopyArray(const StrArray& source);
    void FillArray(int32_t count, const char* const* values);
    void FillArray(std::initializer_list<const char*> values);
    // Adds a copy of text as a new last element of a one-dimensional array; runtime error 8 when the array
    // has a second dimension.
    void AppendElement(const BasicString& text);

    BasicString& ArrayElement(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) {
        return elements[array_detail::ElementIndex(i, j, k, l, dim0, dim1, dim2, dim3, stride1, stride2, stride3)];
    }
    const BasicString& ArrayElement(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) const {
        return const_cast<StrArray*>(this)->ArrayElement(i, j, k, l);
    }
    BasicString& operator()(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) {
        return ArrayElement(i, j, k, l);
    }
    const BasicString& operator()(int32_t i, int32_t j = 0, int32_t k = 0, int32_t l = 0) const {
        return const_cast<StrArray*>(this)->ArrayElement(i, j, k, l);
    }

    int32_t ElementCount() const { return dim0; }

    BasicString* elements;
    int32_t stride1, stride2, stride3;
    int32_t dim0, dim1, dim2, dim3;
    int32_t rank;
    int32_t capacity;

private:
    void ReleaseBlock();
    // Gives the block room for new_capacity texts; those it keeps stay in place, new ones are empty.
    bool ResizeBlock(int32_t new_capacity);
    void BecomeEmpty();
    void TakeShape(const array_detail::ArrayShape& shape);
};
