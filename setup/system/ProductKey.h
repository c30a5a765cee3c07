// The keys the product itself keeps: its settings key
// root\"Software\Tarvo\Veltrane" and its document type in
// HKEY_CLASSES_ROOT. The setup program only ever deletes them.
#pragma once

#include <windows.h>

// The document extension key and the document type key below
// HKEY_CLASSES_ROOT.
inline constexpr char kDocumentExtensionKey[] = ".gsv";
inline constexpr char kDocumentTypeKey[] = "VeltraneType";

// Deletes the product's settings key under root with everything below it.
// Returns the Win32 status (that of opening "Software\Tarvo" when it fails).
LONG DeleteProductKey(HKEY root);
