// Preloaded into a run (LD_PRELOAD), counts the C++ exceptions it throws and prints the count on
// standard error at exit: a valid file's normal path should throw none.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <typeinfo>

namespace {
std::atomic<long> thrown{0};

__attribute__((destructor)) void Report() { std::fprintf(stderr, "exceptions thrown: %ld\n", thrown.load()); }
}  // namespace

extern "C" [[noreturn]] void __cxa_throw(void* object, std::type_info* type, void (*destroy)(void*))
{
    using Throw = void (*)(void*, std::type_info*, void (*)(void*));
    static const auto real = reinterpret_cast<Throw>(dlsym(RTLD_NEXT, "__cxa_throw"));
    ++thrown;
    real(object, type, destroy);
    __builtin_unreachable();
}
