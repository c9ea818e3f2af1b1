#include "platform/graphics/FontResolve.h"

#include "platform/runtime/CodePages.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <string_view>

namespace {

struct TFaceAlias {
    std::string_view Name;          // lower case
    std::string_view Families[2];   // preferred installed families, in order
};

// Desktop face names that programs ask for, with installed faces of matching metrics
// (the Liberation faces share their advances) or the closest design.
constexpr TFaceAlias kAliases[] = {
    {"courier new", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"courier", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"fixedsys", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"lucida console", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"consolas", {"Liberation Mono", "DejaVu Sans Mono"}},
    {"arial", {"Liberation Sans", "DejaVu Sans"}},
    {"helvetica", {"Liberation Sans", "DejaVu Sans"}},
    {"ms sans serif", {"Liberation Sans", "DejaVu Sans"}},
    {"microsoft sans serif", {"Liberation Sans", "DejaVu Sans"}},
    {"ms shell dlg", {"Liberation Sans", "DejaVu Sans"}},
    {"ms shell dlg 2", {"Liberation Sans", "DejaVu Sans"}},
    {"system", {"Liberation Sans", "DejaVu Sans"}},
    {"tahoma", {"DejaVu Sans", "Liberation Sans"}},
    {"verdana", {"DejaVu Sans", "Liberation Sans"}},
    {"segoe ui", {"DejaVu Sans", "Liberation Sans"}},
    {"times new roman", {"Liberation Serif", "DejaVu Serif"}},
    {"times", {"Liberation Serif", "DejaVu Serif"}},
    {"ms serif", {"Liberation Serif", "DejaVu Serif"}},
    {"georgia", {"DejaVu Serif", "Liberation Serif"}},
};

// ASCII letters only: the C library's tolower follows the locale.
std::string Lower(std::string_view s)
{
    std::string result(s);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// Whether the font database lists the family itself. Asking it by name would let
// fontconfig substitute first, and its substitutions follow the language of the locale:
// under one, "Arial" may stand for a serif face and then be drawn with it.
// The plain names are kept (read under the lock of the cache below) and made again only
// when the database lists another number of families (a font added while running).
bool IsInstalled(const QString& family)
{
    static QSet<QString> installed;
    static qsizetype listed = -1;
    const QStringList families = QFontDatabase::families();
    if (families.size() != listed) {
        installed.clear();
        for (const QString& name : families)
            installed.insert(QString::fromStdString(PlainFamilyName(name.toStdString())).toCaseFolded());
        listed = families.size();
    }
    return installed.contains(family.toCaseFolded());
}

// The first installed family of the alias for key, or "".
std::string AliasFor(const std::string& key)
{
    for (const TFaceAlias& alias : kAliases) {
        if (alias.Name != key)
            continue;
        for (std::string_view family : alias.Families) {
            if (IsInstalled(QString::fromLatin1(family.data(), static_cast<int>(family.size()))))
                return std::string(family);
        }
    }
    return "";
}

std::string ResolveUncached(const std::string& name, bool fixedPitch)
{
    const QString requested = QString::fromStdString(AnsiToUtf8(name));
    if (!requested.isEmpty() && IsInstalled(requested))
        return name;

    if (std::string alias = AliasFor(Lower(name)); !alias.empty())
        return alias;
    // Any other name: the usual sans-serif or monospaced face, the same under every locale.
    if (std::string usual = AliasFor(fixedPitch ? "courier new" : "arial"); !usual.empty())
        return usual;

    // Neither installed: let fontconfig choose, steering by pitch.
    QFont font(requested);
    font.setStyleHint(fixedPitch ? QFont::Monospace : QFont::SansSerif);
    if (fixedPitch)
        font.setFixedPitch(true);
    return Utf8ToAnsi(QFontInfo(font).family().toStdString());
}

}  // namespace

// Asking fontconfig costs far more than drawing with the answer, and every control asks
// whenever its font is set: each name is resolved once per run.
std::string ResolveFaceName(const std::string& name, bool fixedPitch)
{
    static std::mutex guard;
    static std::map<std::pair<std::string, bool>, std::string> resolved;
    const std::lock_guard<std::mutex> lock(guard);
    const auto key = std::make_pair(name, fixedPitch);
    auto it = resolved.find(key);
    if (it == resolved.end())
        it = resolved.emplace(key, ResolveUncached(name, fixedPitch)).first;
    return it->second;
}

std::vector<std::string> ScreenFontNames()
{
    std::vector<std::string> names;
    for (const QString& family : QFontDatabase::families()) {
        if (!QFontDatabase::isPrivateFamily(family))
            names.push_back(Utf8ToAnsi(PlainFamilyName(family.toStdString())));
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string la = Lower(a), lb = Lower(b);
        return la != lb ? la < lb : a < b;
    });
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

std::string PlainFamilyName(const std::string& family)
{
    const std::size_t tag = family.rfind(" [");
    if (tag == std::string::npos || tag == 0 || !family.ends_with(']'))
        return family;
    return family.substr(0, tag);
}

int ScreenPixelsPerInch()
{
    if (QGuiApplication::instance() == nullptr)
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return 96;
    const double dpi = screen->logicalDotsPerInchY();
    return dpi >= 1.0 ? static_cast<int>(std::lround(dpi)) : 96;
}
