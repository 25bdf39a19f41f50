// Stands in for the console's launcher in tests: appends its argument zero and working directory to the file
// named by KORVANE_LAUNCHER_LOG and exits with status 77, so a test sees which launcher started and how.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

int main(int, char** argv) {
    const char* log = getenv("KORVANE_LAUNCHER_LOG");
    FILE* file = log != nullptr ? fopen(log, "a") : nullptr;
    if (file != nullptr) {
        char directory[4096];
        fprintf(file, "%s %s\n", argv[0], getcwd(directory, sizeof(directory)) != nullptr ? directory : "?");
        fclose(file);
    }
    return 77;
}
