#include "event_log.h"

#include <cstdarg>

namespace autoplay {

namespace {

void writeLine(std::FILE* out, const char* format, va_list arguments)
{
    std::vfprintf(out, format, arguments);
    std::fputc('\n', out);
    std::fflush(out);
}

} // namespace

void EventLog::line(const char* format, ...) const
{
    if (quiet)
        return;
    va_list arguments;
    va_start(arguments, format);
    writeLine(out, format, arguments);
    va_end(arguments);
}

void EventLog::always(const char* format, ...) const
{
    va_list arguments;
    va_start(arguments, format);
    writeLine(out, format, arguments);
    va_end(arguments);
}

} // namespace autoplay
