// Linked into the shipped program only. The program's own code throws only
// the file-status exception, which is caught where the call is made, so the
// C++ library's reports of its own failures (a length or range error, an
// exception nobody catches) can only mean a fault: stop at once.
// The library's versions would bring their message formatting and the
// demangler along, a third of the program's size, for a report that a GUI
// program has nowhere to print.
#include <cstdlib>

namespace __gnu_cxx
{
void __verbose_terminate_handler()
{
    std::abort();
}
} // namespace __gnu_cxx

namespace std
{
void __throw_length_error(const char*)
{
    std::abort();
}
void __throw_logic_error(const char*)
{
    std::abort();
}
void __throw_out_of_range(const char*)
{
    std::abort();
}
void __throw_out_of_range_fmt(const char*, ...)
{
    std::abort();
}
void __throw_invalid_argument(const char*)
{
    std::abort();
}
void __throw_bad_alloc()
{
    std::abort();
}
void __throw_bad_array_new_length()
{
    std::abort();
}
} // namespace std
