// Reaching code by name at run time: the program's own functions through a table built with the program,
// and functions in shared libraries (modules) through the dynamic linker.
//
// A program declares its callable functions once, at namespace scope:
//
//     KORVANE_CALLABLE_FUNCTIONS(KORVANE_CALLABLE(DrawTitle), KORVANE_CALLABLE(PlayLevel))
//
// and may then call them with CallByName("DrawTitle"). A program that declares none has an empty table.
// Modules are registered under a name (kept in lower case) and their functions looked up with
// DeclareFunction; every registered module is closed when the process exits. Failed lookups print one line
// and never end the program.
#pragma once

#include <cstddef>
#include <cstdint>

#include "text/basic_string.h"

struct CallableFunction {
    void (*function)();
    const char* name;
};

struct CallableFunctionTable {
    const CallableFunction* entries;
    size_t count;
};

// The program's table. The runtime's own definition is an empty table and gives way to the one a program
// declares with KORVANE_CALLABLE_FUNCTIONS.
CallableFunctionTable ProgramCallableFunctions();

// One table entry named after its function.
#define KORVANE_CALLABLE(function) CallableFunction{function, #function}

// Declares the program's table of callable functions (at least one entry); searched in the order given.
#define KORVANE_CALLABLE_FUNCTIONS(...)                                      \
    CallableFunctionTable ProgramCallableFunctions() {                       \
        static const CallableFunction korvane_callable_entries[] = {__VA_ARGS__}; \
        return CallableFunctionTable{korvane_callable_entries,               \
                                     sizeof(korvane_callable_entries) / sizeof(korvane_callable_entries[0])}; \
    }

// The first entry whose name equals name exactly (letter case counts), or null.
const CallableFunction* FindCallableFunction(const CallableFunctionTable& table, const char* name);

// Calls the program's function of that name and gives 1.0; when there is none, prints
// "CALLBYNAME \"<name>\" *** failed ***" and gives 0.0.
float CallByName(const BasicString& name);

// Opens the shared library file (the name itself when file is empty) and registers it under the lower-cased
// name. 1.0 when the library opened. A name already registered with an open library keeps that library: the
// new one is closed again and 0.0 given. A library that does not open is kept as an empty entry (lookups
// through it fail) until a later registration of the same name opens one.
float RegisterModule(const BasicString& name, const BasicString& file);

// Looks symbol up in the module registered under module's name (compared in lower case). address is the
// symbol's address, or null when the library has no such symbol. With no such module, or an empty entry,
// prints "DECLARE module not found: <module>" and address is null.
void DeclareFunction(const BasicString& module, const BasicString& symbol, void*& address);

// The same for a function pointer of the caller's own type.
template <typename Result, typename... Arguments>
void DeclareFunction(const BasicString& module, const BasicString& symbol, Result (*&function)(Arguments...)) {
    void* address = nullptr;
    DeclareFunction(module, symbol, address);
    function = reinterpret_cast<Result (*)(Arguments...)>(address);
}

// Closes every registered module in the order registered and empties the table. Runs as an exit handler once
// a module has been registered; safe to call more than once.
void CloseModules();
int32_t ModuleCount();
