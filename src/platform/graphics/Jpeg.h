// JPEG pictures decoded with libjpeg into a TBitmap.
#pragma once

#include <cstddef>
#include <string>

class TBitmap;

// Decodes the JPEG data into Bitmap (resized to the picture). Damaged, truncated or
// non-JPEG data raises EInvalidGraphic and leaves Bitmap as it was.
void LoadJpegFromMemory(const unsigned char* Data, std::size_t Size, TBitmap* Bitmap);
// The same for a file; a file that cannot be opened raises EFOpenError.
void LoadJpegFromFile(const std::string& FileName, TBitmap* Bitmap);
// True for a name ending in ".jpg", ".jpeg" or ".jpe" (any case).
bool IsJpegFileName(const std::string& FileName);
