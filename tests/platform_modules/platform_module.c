/* A small shared library that the platform tests register as a module and look functions up in. */

int korvane_module_answer(void) { return 42; }

int f(void) { return 7; }
