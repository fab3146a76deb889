// Describing the character fields of the program's tables for FileDBF::Creat.
#pragma once
#include <cstdio>
#include <cstring>

#include "Tabulo.h"

namespace pinora {

// A character field of the given name (at most 10 characters) and length.
inline FieldHeaderCreat CharField(const char* name, int length) {
    FieldHeaderCreat f;
    std::memset(&f, 0, sizeof f);
    std::snprintf(f.name, sizeof f.name, "%s", name);
    f.type = 'C';
    f.length = static_cast<unsigned char>(length);
    return f;
}

}  // namespace pinora
