// The framework's FindResourceBytes: resources as the system keeps them.
// Alone in its file, so that a program that links the packed one
// (PackedResources.cpp) never takes this one (ResourceBytes.h).
#include "framework/ResourceBytes.h"

std::string_view FindResourceBytes(HINSTANCE module, WORD type, UINT id) {
  HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(type));
  if (!info) return {};
  HGLOBAL data = ::LoadResource(module, info);
  const void* bytes = data ? ::LockResource(data) : nullptr;
  if (!bytes) return {};
  return std::string_view(static_cast<const char*>(bytes), ::SizeofResource(module, info));
}
