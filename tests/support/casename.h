#pragma once
// The name GoogleTest gives a row of a parameter table: its description with
// every character that is not a letter or a digit turned into '_'.
#include <cctype>
#include <string>

inline std::string caseName(std::string what)
{
    for (char& ch : what)
        if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
    return what;
}
