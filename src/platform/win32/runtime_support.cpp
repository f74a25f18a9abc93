// The few pieces of the C++ runtime that the program needs, compiled here for the 486 instead of
// taken from the prebuilt libraries, which were compiled for later processors and would bring in
// the exception machinery besides. The program is built without exceptions: what would have
// thrown ends the process, as an uncaught exception would have.

#include <windows.h>

#include <memory>
#include <new>
#include <string>
#include <unordered_set>

#include "platform/types.h"

// Every member of the string class, compiled with our flags. The headers declare these
// instantiations extern, so without this the linker would take libstdc++'s copies.
template class std::basic_string<char>;
template std::string std::operator+(const char*, const std::string&);
template std::string std::operator+(char, const std::string&);

namespace {

[[noreturn]] void EndOnRuntimeFault() {
    ExitProcess(static_cast<UINT>(exitcode::kFailed));
}

// Memory comes from the process heap, which every Windows has, not from a C library's.
void* TryAllocate(std::size_t size) noexcept {
    return HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
}

void* Allocate(std::size_t size) {
    void* block = TryAllocate(size);
    if (block == nullptr) EndOnRuntimeFault();
    return block;
}

void Release(void* block) noexcept {
    if (block != nullptr) HeapFree(GetProcessHeap(), 0, block);
}

}  // namespace

// Defined here, the library's own definition, and the new-handler's data and unwind tables that
// come with it, stay out of the program.
const std::nothrow_t std::nothrow{};

void* operator new(std::size_t size) { return Allocate(size); }
void* operator new[](std::size_t size) { return Allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return TryAllocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, std::size_t) noexcept { Release(block); }
void operator delete[](void* block, std::size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }

namespace {

constexpr std::size_t kFirstElements = 11;

bool IsPrime(std::size_t number) {
    if (number < 2) return false;
    for (std::size_t divisor = 2; divisor <= number / divisor; ++divisor) {
        if (number % divisor == 0) return false;
    }
    return true;
}

std::size_t ElementsFor(std::size_t buckets, float loadFactor) {
    const double elements = static_cast<double>(buckets) * loadFactor;
    return elements >= static_cast<double>(SIZE_MAX) ? SIZE_MAX : static_cast<std::size_t>(elements);
}

}  // namespace

// The growth policy of the unordered containers: a prime number of buckets, at least doubled
// at each growth, enough for the elements at the maximum load factor.
namespace std::__detail {

std::size_t _Prime_rehash_policy::_M_next_bkt(std::size_t count) const {
    // No buckets asked for: the first insertion allocates.
    if (count == 0) return 1;
    std::size_t buckets = count < 2 ? 2 : count;
    while (buckets < SIZE_MAX && !IsPrime(buckets)) ++buckets;
    _M_next_resize = ElementsFor(buckets, _M_max_load_factor);
    return buckets;
}

std::pair<bool, std::size_t> _Prime_rehash_policy::_M_need_rehash(std::size_t buckets, std::size_t elements,
                                                                  std::size_t inserted) const {
    const std::size_t wanted = elements + inserted;
    if (wanted <= _M_next_resize) return {false, 0};
    // An empty table starts with room for a few elements.
    const std::size_t least = _M_next_resize == 0 && wanted < kFirstElements ? kFirstElements : wanted;
    const double neededBuckets = static_cast<double>(least) / _M_max_load_factor;
    if (neededBuckets >= static_cast<double>(buckets)) {
        const std::size_t grown = buckets > SIZE_MAX / _S_growth_factor ? SIZE_MAX : buckets * _S_growth_factor;
        const std::size_t needed = static_cast<std::size_t>(neededBuckets) + 1;
        return {true, _M_next_bkt(needed > grown ? needed : grown)};
    }
    _M_next_resize = ElementsFor(buckets, _M_max_load_factor);
    return {false, 0};
}

}  // namespace std::__detail

namespace std {
// Asked only by get_deleter, which a program without run-time type information never calls
// with a type of its own; the tag's own identity is compared by address before this. The
// prebuilt copy would bring in the exception machinery.
bool _Sp_make_shared_tag::_S_eq(const type_info&) noexcept { return false; }

void __throw_bad_alloc() { EndOnRuntimeFault(); }
void __throw_bad_array_new_length() { EndOnRuntimeFault(); }
void __throw_length_error(const char*) { EndOnRuntimeFault(); }
void __throw_logic_error(const char*) { EndOnRuntimeFault(); }
void __throw_out_of_range(const char*) { EndOnRuntimeFault(); }
void __throw_out_of_range_fmt(const char*, ...) { EndOnRuntimeFault(); }
void __throw_invalid_argument(const char*) { EndOnRuntimeFault(); }
void __throw_bad_function_call() { EndOnRuntimeFault(); }
}  // namespace std
