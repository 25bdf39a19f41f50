// Reading the inline data list.
#include "text/data_list.h"

#include <cmath>
#include <cstdlib>

#include "frame/program.h"

namespace {

DataList* g_current_data_list = nullptr;

// The item to read next, with the list moved past it; null (after runtime error 20) when there is none.
// Every field of the list is checked, since a program can set them itself.
const DataItem* TakeNextItem() {
    DataList* list = g_current_data_list;
    if (list == nullptr || list->items == nullptr || list->next < 0 || list->next >= list->count) {
        RaiseRuntimeError(kErrorDataExhausted);
        return nullptr;
    }
    return &list->items[list->next++];
}

float ItemAsNumber(const DataItem& item) {
    // As BasicString::ToFloat reads a text: strtod, narrowed to single precision.
    if (item.text != nullptr) return static_cast<float>(strtod(item.text, nullptr));
    return item.number;
}

}  // namespace

void RestoreData(DataList& list) {
    g_current_data_list = &list;
    list.next = 0;
}

DataList* CurrentDataList() { return g_current_data_list; }

template <>
float ReadDataNumber<float>() {
    const DataItem* item = TakeNextItem();
    return item != nullptr ? ItemAsNumber(*item) : 0.0f;
}

template <>
int32_t ReadDataNumber<int32_t>() {
    const DataItem* item = TakeNextItem();
    if (item == nullptr) return 0;
    // Truncation toward zero; values outside the 32-bit range saturate and NaN reads as 0 rather than being
    // left to the undefined conversion.
    const float value = ItemAsNumber(*item);
    if (std::isnan(value)) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value <= -2147483648.0f) return INT32_MIN;
    return static_cast<int32_t>(value);
}

BasicString ReadDataText() {
    const DataItem* item = TakeNextItem();
    if (item == nullptr) return BasicString();
    if (item->text != nullptr) return BasicString(item->text);
    return BasicString(item->number);
}
