// The bytes of one of a program's resources, wherever the program keeps
// them.
//
// Two definitions exist, and a program links the one that fits how it
// carries its resources: the framework's own (PlainResourceBytes.cpp),
// which knows the resources as the system keeps them, and the one of
// PackedResources.cpp, which also finds those stored packed. A program that
// carries packed resources links the second as an object of its own (the
// setup program's resources come with it), and the linker then never takes
// the framework's, which stands alone in its file for that reason; the
// others link none of the unpacking (nor zlib's inflate).
#pragma once

#include <windows.h>

#include <string_view>

// The ordinal resource types FindResourceBytes is asked for.
inline constexpr WORD kDialogResourceType = 5;  // RT_DIALOG
inline constexpr WORD kStringResourceType = 6;  // RT_STRING: blocks of 16 strings

// The bytes of resource id of the ordinal type in module; empty when the
// module has no such resource. The bytes stay valid while the module is
// loaded, and start on a 4-byte boundary, as a dialog template must.
std::string_view FindResourceBytes(HINSTANCE module, WORD type, UINT id);
