// The UTF-16 path that a wide call is given for a path in the program's text.
#pragma once

#include "platform/text_form.h"

namespace longpath {

// Windows refuses a path of this many units or more, or whose full form has as many,
// unless it is given in the form \\?\X:\... or \\?\UNC\server\share\..., which the system
// takes as it stands.
constexpr size_t MAX_PATH_UNITS = 260;

// The path in UTF-16: as it stands while it and its full form stay below MAX_PATH_UNITS,
// else that full form behind \\?\ (or \\?\UNC\ for a share). False when the text names no
// characters or memory ran out.
bool nativePathOf(const char* path, text::WideText& out);

}  // namespace longpath
