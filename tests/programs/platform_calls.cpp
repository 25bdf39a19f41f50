// A program that declares no callable functions: every call by name fails, and each result is printed.
#include <cstdio>
#include <initializer_list>

#include "frame/program.h"
#include "platform/foreign_calls.h"

void ApplicationMain() {
    for (const char* name : {"main", "Main", "ApplicationMain"}) printf("=%g\n", CallByName(BasicString(name)));
}
