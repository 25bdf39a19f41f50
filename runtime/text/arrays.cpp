// Dimensioning, redimensioning and copying of the runtime's arrays, and their runtime errors.
#include "text/arrays.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "frame/program.h"

namespace array_detail {

namespace {

// The factor a dimension contributes to the element count and to the strides: absent or negative trailing
// dimensions count as 1. (Strides are built from these factors rather than from the raw dimensions, so that an
// absent middle dimension cannot make two elements share a place.)
int64_t CountFactor(int32_t dimension) { return dimension >= 1 ? dimension : 1; }

}  // namespace

ArrayShape PlanShape(int32_t d0, int32_t d1, int32_t d2, int32_t d3, int32_t capacity_step) {
    ArrayShape shape;
    const int64_t first = d0 >= 1 ? d0 : 0;
    const int64_t stride2 = first * CountFactor(d1);
    if (stride2 > INT32_MAX) return shape;
    const int64_t stride3 = stride2 * CountFactor(d2);
    if (stride3 > INT32_MAX) return shape;
    const int64_t count = stride3 * CountFactor(d3);
    if (count > INT32_MAX) return shape;
    const int64_t needed = count / capacity_step * capacity_step + capacity_step;
    if (needed > INT32_MAX) return shape;

    shape.valid = true;
    shape.element_count = static_cast<int32_t>(count);
    shape.needed_capacity = static_cast<int32_t>(needed);
    shape.stride1 = static_cast<int32_t>(first);
    shape.stride2 = static_cast<int32_t>(stride2);
    shape.stride3 = static_cast<int32_t>(stride3);
    shape.dim0 = static_cast<int32_t>(first);
    shape.dim1 = d1;
    shape.dim2 = d2;
    shape.dim3 = d3;
    shape.rank = d3 != 0 ? 4 : d2 != 0 ? 3 : d1 != 0 ? 2 : d0 < 1 ? 0 : 1;
    return shape;
}

void EndOnBadIndex() {
    RaiseRuntimeError(kErrorArrayIndex);
    fflush(stdout);
    _Exit(0);
}

int32_t ElementCountOf(int32_t dim0, int32_t dim1, int32_t dim2, int32_t dim3) {
    int64_t count = dim0 >= 1 ? dim0 : 0;
    for (const int32_t dimension : {dim1, dim2, dim3}) {
        count *= CountFactor(dimension);
        if (count > INT32_MAX) return 0;
    }
    return static_cast<int32_t>(count);
}

}  // namespace array_detail

namespace {

using array_detail::ArrayShape;
using array_detail::PlanShape;

constexpr int32_t kNumberCapacityStep = 8;
constexpr int32_t kTextCapacityStep = 64;

// How many indexes of a dimension hold reachable elements (see IndexInside).
int32_t ReachableExtent(int32_t dimension) { return dimension > 0 ? dimension : (dimension == 0 ? 1 : 0); }

int32_t Smaller(int32_t a, int32_t b) { return a < b ? a : b; }

// Calls visit(old_index, new_index) for every element whose indexes lie inside both shapes.
template <typename Visit>
void ForEachOverlapping(const int32_t (&old_dims)[4], const int32_t (&old_strides)[3], const ArrayShape& shape,
                        Visit visit) {
    const int32_t extent0 = Smaller(old_dims[0], shape.dim0);
    const int32_t extent1 = Smaller(ReachableExtent(old_dims[1]), ReachableExtent(shape.dim1));
    const int32_t extent2 = Smaller(ReachableExtent(old_dims[2]), ReachableExtent(shape.dim2));
    const int32_t extent3 = Smaller(ReachableExtent(old_dims[3]), ReachableExtent(shape.dim3));
    if (extent0 <= 0) return;
    for (int32_t l = 0; l < extent3; ++l)
        for (int32_t k = 0; k < extent2; ++k)
            for (int32_t j = 0; j < extent1; ++j) {
                const int32_t old_row = j * old_strides[0] + k * old_strides[1] + l * old_strides[2];
                const int32_t new_row = j * shape.stride1 + k * shape.stride2 + l * shape.stride3;
                visit(old_row, new_row, extent0);
            }
}

bool IsOneDimensional(int32_t d1, int32_t d2, int32_t d3) { return d1 == 0 && d2 == 0 && d3 == 0; }

}  // namespace

// ---------------------------------------------------------------------------------------------------------
// Numeric arrays

template <typename Element>
NumArray<Element>::NumArray() noexcept
    : elements(inline_elements),
      inline_elements(),
      stride1(0),
      stride2(0),
      stride3(0),
      dim0(0),
      dim1(0),
      dim2(0),
      dim3(0),
      rank(0),
      capacity(0) {}

template <typename Element>
NumArray<Element>::NumArray(const NumArray& other) : NumArray() {
    CopyArray(other);
}

template <typename Element>
NumArray<Element>::NumArray(NumArray&& other) noexcept : NumArray() {
    *this = std::move(other);
}

template <typename Element>
NumArray<Element>& NumArray<Element>::operator=(const NumArray& other) {
    CopyArray(other);
    return *this;
}

template <typename Element>
NumArray<Element>& NumArray<Element>::operator=(NumArray&& other) noexcept {
    if (&other == this) return *this;
    ReleaseBlock();
    if (other.elements == other.inline_elements) {
        memcpy(inline_elements, other.inline_elements, sizeof(inline_elements));
        elements = inline_elements;
    } else {
        elements = other.elements;
    }
    stride1 = other.stride1;
    stride2 = other.stride2;
    stride3 = other.stride3;
    dim0 = other.dim0;
    dim1 = other.dim1;
    dim2 = other.dim2;
    dim3 = other.dim3;
    rank = other.rank;
    capacity = other.capacity;
    other.elements = other.inline_elements;
    other.BecomeEmpty();
    return *this;
}

template <typename Element>
NumArray<Element>::~NumArray() {
    ReleaseBlock();
}

template <typename Element>
void NumArray<Element>::ReleaseBlock() {
    if (elements != inline_elements) free(elements);
    elements = inline_elements;
}

template <typename Element>
void NumArray<Element>::BecomeEmpty() {
    ReleaseBlock();
    capacity = 0;
    TakeShape(ArrayShape());
}

template <typename Element>
void NumArray<Element>::TakeShape(const ArrayShape& shape) {
    stride1 = shape.stride1;
    stride2 = shape.stride2;
    stride3 = shape.stride3;
    dim0 = shape.dim0;
    dim1 = shape.dim1;
    dim2 = shape.dim2;
    dim3 = shape.dim3;
    rank = shape.rank;
}

template <typename Element>
void NumArray<Element>::DimArray(int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
    const ArrayShape shape = PlanShape(d0, d1, d2, d3, kNumberCapacityStep);
    if (!shape.valid) {
        BecomeEmpty();
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    bool zeroed = false;
    if (d0 < 1 || capacity < shape.needed_capacity) {
        ReleaseBlock();
        if (shape.needed_capacity > kInlineCapacity) {
            // calloc checks the byte count for overflow (it matters where size_t has 32 bits) and hands back
            // memory that is already zero.
            void* block = calloc(static_cast<size_t>(shape.needed_capacity), sizeof(Element));
            if (block == nullptr) {
                BecomeEmpty();
                RaiseRuntimeError(kErrorChannelNumberOrAllocation);
                return;
            }
            elements = static_cast<Element*>(block);
            zeroed = true;
        }
        capacity = shape.needed_capacity;
    }
    if (!zeroed) memset(static_cast<void*>(elements), 0, static_cast<size_t>(capacity) * sizeof(Element));
    TakeShape(shape);
}

template <typename Element>
void NumArray<Element>::RedimArray(int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
    if (d0 < 1) {
        // The block stays; its elements are cleared so that everything past the elements in use is zero.
        const int32_t old_count = array_detail::ElementCountOf(dim0, dim1, dim2, dim3);
        memset(static_cast<void*>(elements), 0, static_cast<size_t>(Smaller(old_count, capacity)) * sizeof(Element));
        TakeShape(ArrayShape());
        return;
    }
    const ArrayShape shape = PlanShape(d0, d1, d2, d3, kNumberCapacityStep);
    if (!shape.valid) {
        BecomeEmpty();
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    const int32_t old_count = array_detail::ElementCountOf(dim0, dim1, dim2, dim3);

    // One dimension before and after: the elements keep their places, so the block is resized (realloc can
    // often grow it where it lies) instead of copied element by element. Growing an array one element at a
    // time then costs little more than the new elements. Everything past the elements in use is kept zero.
    if (IsOneDimensional(dim1, dim2, dim3) && IsOneDimensional(d1, d2, d3)) {
        if (!ResizeBlock(shape.needed_capacity, Smaller(old_count, shape.element_count))) {
            BecomeEmpty();
            RaiseRuntimeError(kErrorChannelNumberOrAllocation);
            return;
        }
        const int32_t low = Smaller(old_count, shape.element_count);
        const int32_t high = Smaller(old_count > shape.element_count ? old_count : shape.element_count, capacity);
        memset(static_cast<void*>(elements + low), 0, static_cast<size_t>(high - low) * sizeof(Element));
        TakeShape(shape);
        return;
    }

    Element small_block[kInlineCapacity] = {};
    Element* target = small_block;
    if (shape.needed_capacity > kInlineCapacity) {
        target = static_cast<Element*>(calloc(static_cast<size_t>(shape.needed_capacity), sizeof(Element)));
        if (target == nullptr) {
            BecomeEmpty();
            RaiseRuntimeError(kErrorChannelNumberOrAllocation);
            return;
        }
    }
    const int32_t old_dims[4] = {dim0, dim1, dim2, dim3};
    const int32_t old_strides[3] = {stride1, stride2, stride3};
    ForEachOverlapping(old_dims, old_strides, shape, [&](int32_t old_row, int32_t new_row, int32_t count) {
        memcpy(static_cast<void*>(target + new_row), elements + old_row, static_cast<size_t>(count) * sizeof(Element));
    });
    ReleaseBlock();
    if (target == small_block)
        memcpy(inline_elements, small_block, sizeof(small_block));
    else
        elements = target;
    capacity = shape.needed_capacity;
    TakeShape(shape);
}

template <typename Element>
bool NumArray<Element>::ResizeBlock(int32_t new_capacity, int32_t kept) {
    if (new_capacity == capacity) return true;
    const int32_t old_capacity = capacity;
    if (new_capacity <= kInlineCapacity) {
        if (elements != inline_elements) {
            memcpy(inline_elements, elements, static_cast<size_t>(kept) * sizeof(Element));
            free(elements);
            elements = inline_elements;
        }
        memset(static_cast<void*>(inline_elements + kept), 0, static_cast<size_t>(kInlineCapacity - kept) * sizeof(Element));
    } else if (elements == inline_elements) {
        void* block = calloc(static_cast<size_t>(new_capacity), sizeof(Element));
        if (block == nullptr) return false;
        memcpy(block, inline_elements, static_cast<size_t>(kept) * sizeof(Element));
        elements = static_cast<Element*>(block);
    } else {
        if (static_cast<uint64_t>(new_capacity) > SIZE_MAX / sizeof(Element)) return false;
        void* block = realloc(static_cast<void*>(elements), static_cast<size_t>(new_capacity) * sizeof(Element));
        if (block == nullptr) return false;
        elements = static_cast<Element*>(block);
        if (new_capacity > old_capacity)
            memset(static_cast<void*>(elements + old_capacity), 0,
                   static_cast<size_t>(new_capacity - old_capacity) * sizeof(Element));
    }
    capacity = new_capacity;
    return true;
}

template <typename Element>
void NumArray<Element>::CopyArray(const NumArray& source) {
    if (&source == this) return;
    DimArray(source.dim0, source.dim1, source.dim2, source.dim3);
    const int32_t count = array_detail::ElementCountOf(dim0, dim1, dim2, dim3);
    if (dim0 != source.dim0 || count <= 0) return;
    memcpy(static_cast<void*>(elements), source.elements, static_cast<size_t>(count) * sizeof(Element));
}

template <typename Element>
void NumArray<Element>::FillArray(int32_t count, const Element* values) {
    DimArray(count);
    if (values == nullptr) return;
    for (int32_t i = 0; i < dim0; ++i) elements[i] = values[i];
}

template <typename Element>
void NumArray<Element>::FillArray(std::initializer_list<Element> values) {
    FillArray(static_cast<int32_t>(values.size()), values.begin());
}

template class NumArray<int32_t>;
template class NumArray<float>;

// ---------------------------------------------------------------------------------------------------------
// Text arrays

namespace {

// A block of count empty texts, or null when the memory is not there. The size is checked before it is
// multiplied, so a count that fits 32 bits cannot wrap a 32-bit size_t.
BasicString* NewTextBlock(int32_t count) {
    if (static_cast<uint64_t>(count) > SIZE_MAX / sizeof(BasicString)) return nullptr;
    void* raw = malloc(static_cast<size_t>(count) * sizeof(BasicString));
    if (raw == nullptr) return nullptr;
    BasicString* block = static_cast<BasicString*>(raw);
    for (int32_t i = 0; i < count; ++i) new (block + i) BasicString();
    return block;
}

void DeleteTextBlock(BasicString* block, int32_t count) {
    if (block == nullptr) return;
    for (int32_t i = 0; i < count; ++i) block[i].~BasicString();
    free(block);
}

}  // namespace

StrArray::StrArray() noexcept
    : elements(nullptr), stride1(0), stride2(0), stride3(0), dim0(0), dim1(0), dim2(0), dim3(0), rank(0), capacity(0) {}

StrArray::StrArray(const StrArray& other) : StrArray() { CopyArray(other); }

StrArray::StrArray(StrArray&& other) noexcept : StrArray() { *this = std::move(other); }

StrArray& StrArray::operator=(const StrArray& other) {
    CopyArray(other);
    return *this;
}

StrArray& StrArray::operator=(StrArray&& other) noexcept {
    if (&other == this) return *this;
    ReleaseBlock();
    elements = other.elements;
    stride1 = other.stride1;
    stride2 = other.stride2;
    stride3 = other.stride3;
    dim0 = other.dim0;
    dim1 = other.dim1;
    dim2 = other.dim2;
    dim3 = other.dim3;
    rank = other.rank;
    capacity = other.capacity;
    other.elements = nullptr;
    other.capacity = 0;
    other.BecomeEmpty();
    return *this;
}

StrArray::~StrArray() { ReleaseBlock(); }

void StrArray::ReleaseBlock() {
    DeleteTextBlock(elements, capacity);
    elements = nullptr;
    capacity = 0;
}

void StrArray::BecomeEmpty() {
    ReleaseBlock();
    TakeShape(ArrayShape());
}

void StrArray::TakeShape(const ArrayShape& shape) {
    stride1 = shape.stride1;
    stride2 = shape.stride2;
    stride3 = shape.stride3;
    dim0 = shape.dim0;
    dim1 = shape.dim1;
    dim2 = shape.dim2;
    dim3 = shape.dim3;
    rank = shape.rank;
}

void StrArray::DimArray(int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
    const ArrayShape shape = PlanShape(d0, d1, d2, d3, kTextCapacityStep);
    if (!shape.valid) {
        BecomeEmpty();
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    if (d0 < 1 || capacity < shape.needed_capacity) {
        ReleaseBlock();
        BasicString* block = NewTextBlock(shape.needed_capacity);
        if (block == nullptr) {
            BecomeEmpty();
            RaiseRuntimeError(kErrorChannelNumberOrAllocation);
            return;
        }
        elements = block;
        capacity = shape.needed_capacity;
    } else {
        for (int32_t i = 0; i < capacity; ++i) elements[i].Clear();
    }
    TakeShape(shape);
}

void StrArray::RedimArray(int32_t d0, int32_t d1, int32_t d2, int32_t d3) {
    if (d0 < 1) {
        // The block stays; its texts are emptied so that everything past the elements in use is empty.
        const int32_t old_count = Smaller(array_detail::ElementCountOf(dim0, dim1, dim2, dim3), capacity);
        for (int32_t i = 0; i < old_count; ++i) elements[i].Clear();
        TakeShape(ArrayShape());
        return;
    }
    const ArrayShape shape = PlanShape(d0, d1, d2, d3, kTextCapacityStep);
    if (!shape.valid) {
        BecomeEmpty();
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    const int32_t old_count = array_detail::ElementCountOf(dim0, dim1, dim2, dim3);

    // As for numeric arrays, one dimension before and after resizes the block in place of copying it.
    if (IsOneDimensional(dim1, dim2, dim3) && IsOneDimensional(d1, d2, d3)) {
        for (int32_t i = shape.element_count; i < Smaller(old_count, capacity); ++i) elements[i].Clear();
        if (!ResizeBlock(shape.needed_capacity)) {
            BecomeEmpty();
            RaiseRuntimeError(kErrorChannelNumberOrAllocation);
            return;
        }
        for (int32_t i = old_count; i < shape.element_count; ++i) elements[i].Clear();
        TakeShape(shape);
        return;
    }

    BasicString* target = NewTextBlock(shape.needed_capacity);
    if (target == nullptr) {
        BecomeEmpty();
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    // The old block is dropped afterwards, so its texts are moved (swapped with the fresh empty ones) rather
    // than copied.
    const int32_t old_dims[4] = {dim0, dim1, dim2, dim3};
    const int32_t old_strides[3] = {stride1, stride2, stride3};
    ForEachOverlapping(old_dims, old_strides, shape, [&](int32_t old_row, int32_t new_row, int32_t count) {
        for (int32_t i = 0; i < count; ++i) target[new_row + i].Swap(elements[old_row + i]);
    });
    ReleaseBlock();
    elements = target;
    capacity = shape.needed_capacity;
    TakeShape(shape);
}

bool StrArray::ResizeBlock(int32_t new_capacity) {
    if (new_capacity == capacity) return true;
    if (static_cast<uint64_t>(new_capacity) > SIZE_MAX / sizeof(BasicString)) return false;
    // A text value holds no pointer to itself (only to its own heap bytes or the shared empty text), so its
    // three words stay valid wherever realloc moves them.
    for (int32_t i = new_capacity; i < capacity; ++i) elements[i].~BasicString();
    void* block = realloc(static_cast<void*>(elements), static_cast<size_t>(new_capacity) * sizeof(BasicString));
    if (block == nullptr) {
        if (new_capacity > capacity) return false;
        // A smaller block that could not be had: the old one stays, with only its first new_capacity values.
        capacity = new_capacity;
        return true;
    }
    elements = static_cast<BasicString*>(block);
    for (int32_t i = capacity; i < new_capacity; ++i) new (elements + i) BasicString();
    capacity = new_capacity;
    return true;
}

void StrArray::CopyArray(const StrArray& source) {
    if (&source == this) return;
    DimArray(source.dim0, source.dim1, source.dim2, source.dim3);
    const int32_t count = array_detail::ElementCountOf(dim0, dim1, dim2, dim3);
    if (dim0 != source.dim0) return;
    for (int32_t i = 0; i < count; ++i) elements[i] = source.elements[i];
}

void StrArray::FillArray(int32_t count, const char* const* values) {
    DimArray(count);
    if (values == nullptr) return;
    for (int32_t i = 0; i < dim0; ++i) elements[i] = values[i];
}

void StrArray::FillArray(std::initializer_list<const char*> values) {
    FillArray(static_cast<int32_t>(values.size()), values.begin());
}

void StrArray::AppendElement(const BasicString& text) {
    if (dim1 != 0) {
        RaiseRuntimeError(kErrorAppendToMultiDimensional);
        return;
    }
    if (dim0 == INT32_MAX) {
        RaiseRuntimeError(kErrorChannelNumberOrAllocation);
        return;
    }
    // The text may be one of this array's own elements, which the redimensioning can move: copy it first.
    BasicString copy(text);
    const int32_t wanted = dim0 + 1;
    RedimArray(wanted);
    if (dim0 != wanted) return;
    elements[wanted - 1].Swap(copy);
}
