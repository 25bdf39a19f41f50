// The inline data list: numbers and texts written into the program itself and read back one at a time.
//
// A program declares its items and a list over them, makes the list current with RestoreData and reads the
// items in order:
//
//     static const DataItem kLevels[] = {DataNumber(3), DataText("cave"), DataNumber(2.5f)};
//     static DataList levels = MakeDataList(kLevels);
//     RestoreData(levels);
//     int32_t count = ReadDataNumber<int32_t>();
//     BasicString name = ReadDataText();
//
// A number item read as a text gives its number text, a text item read as a number gives the number the
// text starts with. Reading with no current list, or past its last item, is runtime error 20.
#pragma once

#include <cstdint>

#include "text/basic_string.h"

// One item: a number when text is null, otherwise a text.
struct DataItem {
    float number;
    const char* text;
};

struct DataList {
    const DataItem* items;
    int32_t count;
    int32_t next;  // index of the next item to read
};

constexpr DataItem DataNumber(float value) { return DataItem{value, nullptr}; }
constexpr DataItem DataText(const char* text) { return DataItem{0.0f, text != nullptr ? text : ""}; }

template <int32_t Count>
constexpr DataList MakeDataList(const DataItem (&items)[Count]) {
    return DataList{items, Count, 0};
}

// Makes list the current one and starts it from its first item.
void RestoreData(DataList& list);
// The list reads come from, or null before the first RestoreData.
DataList* CurrentDataList();

// The next item as a number: ReadDataNumber() gives a single, ReadDataNumber<int32_t>() the single truncated
// toward zero.
template <typename Number = float>
Number ReadDataNumber();
template <>
float ReadDataNumber<float>();
template <>
int32_t ReadDataNumber<int32_t>();

// The next item as a text.
BasicString ReadDataText();
