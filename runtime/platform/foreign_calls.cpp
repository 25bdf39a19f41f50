// Calls by name: the program's callable-function table and the module table.
#include "platform/foreign_calls.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Two parallel tables, as registered: lower-cased names and library handles (null for a library that did not
// open).
struct ModuleTable {
    std::vector<BasicString> names;
    std::vector<void*> handles;
};

ModuleTable g_modules;
bool g_close_at_exit_registered = false;

// The index of the module registered under an already lower-cased name, or -1.
int32_t FindModule(const BasicString& lower_name) {
    for (size_t i = 0; i < g_modules.names.size(); ++i)
        if (strcmp(g_modules.names[i].c_str(), lower_name.c_str()) == 0) return static_cast<int32_t>(i);
    return -1;
}

}  // namespace

const CallableFunction* FindCallableFunction(const CallableFunctionTable& table, const char* name) {
    for (size_t i = 0; i < table.count; ++i)
        if (strcmp(table.entries[i].name, name) == 0) return &table.entries[i];
    return nullptr;
}

float CallByName(const BasicString& name) {
    const CallableFunction* entry = FindCallableFunction(ProgramCallableFunctions(), name.c_str());
    if (entry == nullptr) {
        const BasicString message = "CALLBYNAME \"" + name + "\" *** failed ***\n";
        printf("%s", message.c_str());
        return 0.0f;
    }
    entry->function();
    return 1.0f;
}

float RegisterModule(const BasicString& name, const BasicString& file) {
    if (!g_close_at_exit_registered) {
        atexit(CloseModules);
        g_close_at_exit_registered = true;
    }
    const BasicString lower_name = ToLowerCopy(name);
    // RTLD_NOW: a library with unresolved symbols fails here, not later in the middle of a call.
    void* handle = dlopen(file.empty() ? name.c_str() : file.c_str(), RTLD_NOW | RTLD_LOCAL);
    const int32_t index = FindModule(lower_name);
    if (index < 0) {
        g_modules.names.push_back(lower_name);
        g_modules.handles.push_back(handle);
    } else if (g_modules.handles[index] == nullptr) {
        g_modules.handles[index] = handle;
    } else {
        // Functions already taken from the registered library may be in use, so it stays; nothing has been
        // taken from the new one yet.
        if (handle != nullptr) dlclose(handle);
        return 0.0f;
    }
    return handle != nullptr ? 1.0f : 0.0f;
}

void DeclareFunction(const BasicString& module, const BasicString& symbol, void*& address) {
    address = nullptr;
    const int32_t index = FindModule(ToLowerCopy(module));
    if (index < 0 || g_modules.handles[index] == nullptr) {
        const BasicString message = "DECLARE module not found: " + module + "\n";
        printf("%s", message.c_str());
        return;
    }
    address = dlsym(g_modules.handles[index], symbol.c_str());
}

void CloseModules() {
    for (void* handle : g_modules.handles)
        if (handle != nullptr) dlclose(handle);
    std::vector<BasicString>().swap(g_modules.names);
    std::vector<void*>().swap(g_modules.handles);
}

int32_t ModuleCount() { return static_cast<int32_t>(g_modules.names.size()); }
