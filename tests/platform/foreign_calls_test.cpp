// Calls by name: the program's own table (declared below for this test program), and modules opened from a
// real shared library built with the tests, looked up by name and closed at exit.
#include "platform/foreign_calls.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/process_runner.h"

namespace {

void CalledMain() { printf("called main\n"); }
void DrawTitle() { printf("called DrawTitle\n"); }
void FirstTwin() { printf("called first twin\n"); }
void SecondTwin() { printf("called second twin\n"); }

}  // namespace

KORVANE_CALLABLE_FUNCTIONS(CallableFunction{CalledMain, "main"}, KORVANE_CALLABLE(DrawTitle),
                           CallableFunction{FirstTwin, "Twin"}, CallableFunction{SecondTwin, "Twin"})

namespace {

const char kModulePath[] = KORVANE_PLATFORM_MODULE_PATH;

TEST(CallByName, CallsTheFirstExactlyNamedFunctionOrPrintsTheFailureLine) {
    struct Case {
        const char* name;
        std::string output;
    };
    const Case cases[] = {
        {"main", "called main\n=1\n"},
        {"Main", "CALLBYNAME \"Main\" *** failed ***\n=0\n"},
        {"DrawTitle", "called DrawTitle\n=1\n"},
        {"drawtitle", "CALLBYNAME \"drawtitle\" *** failed ***\n=0\n"},
        {"Twin", "called first twin\n=1\n"},
        {"main ", "CALLBYNAME \"main \" *** failed ***\n=0\n"},
        {"", "CALLBYNAME \"\" *** failed ***\n=0\n"},
        {"%s%n\xe9", "CALLBYNAME \"%s%n\xe9\" *** failed ***\n=0\n"},
    };
    for (const Case& c : cases) {
        const ProcessResult result = RunInChild([&] { printf("=%g\n", CallByName(BasicString(c.name))); });
        EXPECT_EQ(result.exit_status, 0) << c.name;
        EXPECT_EQ(result.output, c.output) << c.name;
        EXPECT_EQ(result.errors, "") << c.name;
    }
}

TEST(CallByName, FindsNothingInAnEmptyTable) {
    const CallableFunctionTable empty{nullptr, 0};
    EXPECT_EQ(FindCallableFunction(empty, "main"), nullptr);
    EXPECT_EQ(FindCallableFunction(empty, ""), nullptr);
}

TEST(CallByName, AProgramWithoutATableFailsEveryCall) {
    const ProcessResult result = RunProgram({TestProgramPath("platform_calls")},
                                            {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"});
    std::string calls;
    for (const std::string& line : SplitLines(result.output))
        if (line.rfind("CALLBYNAME", 0) == 0 || line.rfind("=", 0) == 0) calls += line + "\n";
    EXPECT_EQ(calls,
              "CALLBYNAME \"main\" *** failed ***\n=0\n"
              "CALLBYNAME \"Main\" *** failed ***\n=0\n"
              "CALLBYNAME \"ApplicationMain\" *** failed ***\n=0\n")
        << result.output;
}

// True while the test library is loaded in this process; asks without keeping it loaded.
bool ModuleLoaded() {
    void* handle = dlopen(kModulePath, RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

TEST(DeclareFunction, FindsSymbolsInARegisteredModuleWhateverTheLetterCase) {
    const ProcessResult result = RunInChild([] {
        printf("registered %g\n", RegisterModule(BasicString("TestModule"), BasicString(kModulePath)));
        int (*answer)() = nullptr;
        DeclareFunction(BasicString("TESTMODULE"), BasicString("korvane_module_answer"), answer);
        printf("answer %d\n", answer != nullptr ? answer() : -1);
        // The spelling of the registration does not matter either.
        RegisterModule(BasicString("libfoo"), BasicString(kModulePath));
        int (*f)() = nullptr;
        DeclareFunction(BasicString("LibFoo"), BasicString("f"), f);
        printf("f %d\n", f != nullptr ? f() : -1);
        // A module without the symbol: a null address and no message.
        void* missing = &missing;
        DeclareFunction(BasicString("testmodule"), BasicString("no_such_function"), missing);
        printf("missing %s\n", missing == nullptr ? "null" : "set");
    });
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, "registered 1\nanswer 42\nf 7\nmissing null\n");
}

TEST(DeclareFunction, AnUnknownModulePrintsItsNameUnchangedAndGivesNull) {
    const ProcessResult result = RunInChild([] {
        void* address = &address;
        DeclareFunction(BasicString("LibFoo"), BasicString("f"), address);
        printf("%s\n", address == nullptr ? "null" : "set");
        // A library that does not open leaves an entry through which every lookup fails.
        printf("registered %g\n", RegisterModule(BasicString("Broken"), BasicString("/nonexistent/libbroken.so")));
        address = &address;
        DeclareFunction(BasicString("BROKEN"), BasicString("f"), address);
        printf("%s %d\n", address == nullptr ? "null" : "set", ModuleCount());
        DeclareFunction(BasicString("%s\xe9"), BasicString("f"), address);
    });
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output,
              "DECLARE module not found: LibFoo\nnull\n"
              "registered 0\n"
              "DECLARE module not found: BROKEN\nnull 1\n"
              "DECLARE module not found: %s\xe9\n");
}

TEST(DeclareFunction, ARegisteredNameKeepsItsLibraryAndAFailedOneCanBeFilledLater) {
    const ProcessResult result = RunInChild([] {
        printf("%g ", RegisterModule(BasicString("mod"), BasicString(kModulePath)));
        // The same name again, for another library: refused, the first stays.
        printf("%g ", RegisterModule(BasicString("MOD"), BasicString("libc.so.6")));
        void* address = nullptr;
        DeclareFunction(BasicString("mod"), BasicString("korvane_module_answer"), address);
        printf("%s ", address != nullptr ? "kept" : "lost");
        printf("%g ", RegisterModule(BasicString("late"), BasicString("/nonexistent/liblate.so")));
        printf("%g ", RegisterModule(BasicString("Late"), BasicString(kModulePath)));
        DeclareFunction(BasicString("late"), BasicString("f"), address);
        printf("%s %d\n", address != nullptr ? "filled" : "empty", ModuleCount());
    });
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, "1 0 kept 0 1 filled 2\n");
}

TEST(DeclareFunction, ClosingModulesUnloadsTheLibraryAndEmptiesTheTable) {
    const ProcessResult result = RunInChild([] {
        RegisterModule(BasicString("first"), BasicString(kModulePath));
        RegisterModule(BasicString("second"), BasicString(kModulePath));
        printf("%s %d\n", ModuleLoaded() ? "loaded" : "not loaded", ModuleCount());
        CloseModules();
        printf("%s %d\n", ModuleLoaded() ? "loaded" : "unloaded", ModuleCount());
        void* address = &address;
        DeclareFunction(BasicString("first"), BasicString("f"), address);
        printf("%s\n", address == nullptr ? "null" : "set");
        CloseModules();
        printf("again %d\n", ModuleCount());
    });
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output,
              "loaded 2\nunloaded 0\nDECLARE module not found: first\nnull\nagain 0\n");
}

void ReportModuleAtExit() {
    printf("at exit: %s %d\n", ModuleLoaded() ? "loaded" : "unloaded", ModuleCount());
    fflush(stdout);
}

TEST(DeclareFunction, TheExitHandlerClosesEveryModule) {
    const ProcessResult result = RunInChild([] {
        // Registered before any module, so it runs after the runtime's handler.
        atexit(ReportModuleAtExit);
        RegisterModule(BasicString("TestModule"), BasicString(kModulePath));
        printf("before exit: %s\n", ModuleLoaded() ? "loaded" : "unloaded");
    });
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.errors, "");
    EXPECT_EQ(result.output, "before exit: loaded\nat exit: unloaded 0\n");
}

}  // namespace
