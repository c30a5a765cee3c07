// The framework's FindResourceBytes: resources as the system keeps them.
// Alone in its file, so that a program that links the packed one
// (PackedResources.cpp) never takes this one (ResourceBytes.h).
#include "framework/ResourceBytes.h"

#include "framework/Resources.h"

std::string_view FindResourceBytes(HINSTANCE module, WORD type, UINT id) {
  return FindPlainResource(module, MAKEINTRESOURCEA(type), id);
}
