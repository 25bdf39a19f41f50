// Reads the inline data list before any list was made current: the program must end with error 20.
#include <cstdio>

#include "frame/program.h"
#include "text/data_list.h"

void ApplicationMain() {
    g_startup_settings.debug_mode = 1;
    ReadDataText();
    printf("read returned\n");
}
