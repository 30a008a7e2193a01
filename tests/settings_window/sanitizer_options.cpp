// The window tests' sanitizer settings, in this program too: a static library's object would not
// be linked, since nothing refers to the hook the sanitizer looks up.
#include "app/sanitizer_options.cpp"
