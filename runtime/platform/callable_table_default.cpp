// The callable-function table of a program that declares none: empty.
//
// Kept apart from the calls that use it and defined weak, so that the table a program declares with
// KORVANE_CALLABLE_FUNCTIONS takes its place when the program is linked.
#include "platform/foreign_calls.h"

__attribute__((weak)) CallableFunctionTable ProgramCallableFunctions() { return CallableFunctionTable{nullptr, 0}; }
