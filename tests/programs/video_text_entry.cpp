// Text entry driven by the button stand-in. The first argument chooses the command: "int" (TextInputInt) or
// "name" (FileNamePrompt). A file named "ready" is created in the working directory (the program's own
// directory) once entry is about to start, so that the test presses buttons only from then on.
#include <cstdio>
#include <cstring>

#include "frame/program.h"
#include "input/text_input.h"

void ApplicationMain() {
    FILE* ready = fopen("ready", "w");
    if (ready != nullptr) fclose(ready);
    if (strncmp(CommandLine.c_str(), "int", 3) == 0 || strstr(CommandLine.c_str(), " int ") != nullptr) {
        int32_t value = -1;
        TextInputInt(value, 10, 20);
        printf("int %d\n", value);
    } else {
        BasicString name;
        const BasicString returned = FileNamePrompt(name);
        printf("name [%s] [%s]\n", name.c_str(), returned.c_str());
    }
}
