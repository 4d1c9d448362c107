#pragma once

#include <cstddef>
#include <initializer_list>

namespace frosk::scene {

// The file of a numbered kind or level: the number-th of `files`, counted
// from 1, and `otherwise` for any number outside them.
inline const char* numbered(int number, std::initializer_list<const char*> files, const char* otherwise)
{
    if (number < 1 || static_cast<std::size_t>(number) > files.size())
        return otherwise;
    return files.begin()[number - 1];
}

} // namespace frosk::scene
