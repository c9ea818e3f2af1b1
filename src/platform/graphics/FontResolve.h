// Font faces and screen resolution: which installed family draws a face name that
// programs written for another desktop use, the list of installed families, and the
// screen's pixels per inch.
#pragma once

#include <string>
#include <vector>

// The installed family that draws 'name': the family itself when installed, else a face
// with matching metrics for the usual desktop names ("Courier New", "Arial", "Times New
// Roman", "MS Sans Serif", "Tahoma", ...), else the face that "Arial" gets ("Courier New"
// when fixedPitch). The answer is the same under every locale.
std::string ResolveFaceName(const std::string& name, bool fixedPitch = false);

// The installed font families, sorted case-insensitively, without duplicates. A family
// that several foundries make is named once, by its plain name.
std::vector<std::string> ScreenFontNames();

// A family name as Qt's font database gives it when several foundries make the family,
// "Nimbus Sans [URW ]", without the foundry tag; other names unchanged.
std::string PlainFamilyName(const std::string& family);

// The primary screen's logical resolution, rounded; 96 when there is no screen (no
// application object yet, or a platform that reports none).
int ScreenPixelsPerInch();
