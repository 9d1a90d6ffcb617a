// Linked into every program of the sanitizer build. LeakSanitizer looks for pointers in the
// memory of the libraries loaded when the program ends; a library unloaded before that (the GL
// driver goes when Qt closes its X connection) takes its own references with it, and everything
// it still held is then reported as leaked, with call stacks that point into whatever was
// mapped there since. Unloading nothing keeps those reports away and the remaining ones
// readable. A definition in the program comes before the sanitizer runtime's own.

extern "C" int dlclose(void*) {
    return 0;
}
