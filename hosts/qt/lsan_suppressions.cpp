// Only in the sanitizer build: the system's D-Bus library, which the toolkit
// loads on a real display, keeps a buffer to the end of the process. That
// report is not ours; any leak whose allocation D-Bus did not make still fails.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n";
}
