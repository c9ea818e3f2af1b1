// The clipboard over QClipboard: one QMimeData per clipboard content, with the plain text
// and a MIME type of our own per registered format.
#include "platform/window/Clipboard.h"

#include "platform/runtime/CodePages.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include <cctype>
#include <cstdio>
#include <vector>

namespace {

constexpr UINT FirstRegisteredFormat = 0xC000;

struct TRegisteredFormat {
    std::string Name;
    QString MimeType;
};

std::vector<TRegisteredFormat>& RegisteredFormats()
{
    static std::vector<TRegisteredFormat> formats;
    return formats;
}

bool SameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The MIME type of a format name: letters in lower case, digits, '.' and '+' stay, a
// blank becomes '-', any other byte "_xx" in hex. Distinct names (ignoring case) give
// distinct types.
QString MimeTypeForName(const std::string& name)
{
    std::string subtype = "x-quorvel-";
    for (char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            subtype += static_cast<char>(std::tolower(byte));
        } else if (byte == '.' || byte == '+') {
            subtype += c;
        } else if (byte == ' ') {
            subtype += '-';
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "_%02x", static_cast<unsigned>(byte));
            subtype += hex;
        }
    }
    return QString::fromLatin1("application/") + QString::fromLatin1(subtype.data(), static_cast<qsizetype>(subtype.size()));
}

// The MIME type of a registered format, or an empty string.
QString MimeTypeOf(UINT format)
{
    const auto& formats = RegisteredFormats();
    if (format < FirstRegisteredFormat || format - FirstRegisteredFormat >= formats.size())
        return {};
    return formats[format - FirstRegisteredFormat].MimeType;
}

std::string UpToNul(const std::string& bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

// The flavour that carries plain text exactly as written, for this program's own reading:
// the Unicode flavour other programs read changes line ends. No registered format's MIME
// type has this form ("x-quorvel-" is followed by the name there).
const QString ExactTextType = QStringLiteral("application/x-quorvel_text");

// The character a byte goes out as: the code page's own, or, for a byte the code page
// leaves undefined (0x81 in 1252), the control character of the same number (U+0081), as
// the system's own conversion gives it, so that the byte comes back from another program.
// Bytes above 0x9F that a code page leaves undefined have no such character.
std::string BytesToUtf8(const std::string& bytes)
{
    const TUnicodeTable& table = CodePageUnicodeTable(GetACP());
    std::string unicode;
    unicode.reserve(bytes.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte < 0x80 || byte > 0x9F || table[byte] != 0xFFFD)
            continue;
        unicode += AnsiToUtf8(std::string_view(bytes).substr(from, i - from));
        unicode += static_cast<char>(0xC2);  // U+0080..U+009F in UTF-8
        unicode += static_cast<char>(byte);
        from = i + 1;
    }
    unicode += AnsiToUtf8(std::string_view(bytes).substr(from));
    return unicode;
}

// The way back: a control character U+0080..U+009F the code page has no byte for is the
// byte of the same number when the code page leaves that byte undefined.
std::string Utf8ToBytes(const std::string& utf8)
{
    const Cardinal cp = GetACP();
    const TUnicodeTable& table = CodePageUnicodeTable(cp);
    std::string bytes;
    bytes.reserve(utf8.size());
    std::size_t from = 0;
    for (std::size_t i = 0; i + 1 < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const auto next = static_cast<unsigned char>(utf8[i + 1]);
        if (lead != 0xC2 || next < 0x80 || next > 0x9F || table[next] != 0xFFFD ||
            UnicodeToCodePage(cp, next, 0) != 0)
            continue;
        bytes += Utf8ToAnsi(std::string_view(utf8).substr(from, i - from));
        bytes += static_cast<char>(next);
        from = i + 2;
        ++i;
    }
    bytes += Utf8ToAnsi(std::string_view(utf8).substr(from));
    return bytes;
}

// CR LF between lines becomes LF, the line end other programs on this system expect; a CR
// on its own stays a CR.
std::string WithLfLineEnds(const std::string& text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

QClipboard* SystemClipboard()
{
    QClipboard* clipboard = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                                ? QGuiApplication::clipboard()
                                : nullptr;
    if (clipboard == nullptr)
        throw EClipboardException("The clipboard cannot be used: the window system is not running");
    return clipboard;
}

}  // namespace

UINT RegisterClipboardFormat(const std::string& Name)
{
    if (Name.empty())
        throw EClipboardException("A clipboard format needs a name");
    auto& formats = RegisteredFormats();
    for (std::size_t i = 0; i < formats.size(); ++i)
        if (SameNameIgnoringCase(formats[i].Name, Name))
            return FirstRegisteredFormat + static_cast<UINT>(i);
    if (formats.size() >= 0x4000)
        throw EClipboardException("Too many clipboard formats are registered");
    formats.push_back({Name, MimeTypeForName(Name)});
    return FirstRegisteredFormat + static_cast<UINT>(formats.size() - 1);
}

// ---- TClipboard ------------------------------------------------------------------------

struct TClipboard::TImpl {
    // What the current session has written; handed over at the last Close.
    std::unique_ptr<QMimeData> Pending;
};

TClipboard::TClipboard() : impl_(std::make_unique<TImpl>()) {}

TClipboard::~TClipboard() = default;

void TClipboard::Open()
{
    ++openCount_;
}

void TClipboard::Close()
{
    if (openCount_ == 0)
        return;
    if (--openCount_ > 0)
        return;
    if (impl_->Pending != nullptr)
        Publish();
}

// The first write of a session starts a new, empty content.
void TClipboard::Adding()
{
    if (impl_->Pending == nullptr)
        impl_->Pending = std::make_unique<QMimeData>();
}

void TClipboard::Publish()
{
    QMimeData* data = impl_->Pending.release();
    QClipboard* clipboard = nullptr;
    try {
        clipboard = SystemClipboard();
    } catch (...) {
        delete data;
        throw;
    }
    clipboard->setMimeData(data);  // the clipboard owns it now
    if (clipboard->mimeData() != data)
        throw EClipboardException("The clipboard did not take the copied data");
}

void TClipboard::Clear()
{
    Open();
    impl_->Pending = std::make_unique<QMimeData>();
    Close();
}

bool TClipboard::HasFormat(UINT Format) const
{
    const QMimeData* data = impl_->Pending ? impl_->Pending.get() : SystemClipboard()->mimeData();
    if (data == nullptr)
        return false;
    if (Format == CF_TEXT)
        return data->hasText();
    const QString type = MimeTypeOf(Format);
    return !type.isEmpty() && data->hasFormat(type);
}

std::string TClipboard::AsText() const
{
    const QMimeData* data = impl_->Pending ? impl_->Pending.get() : SystemClipboard()->mimeData();
    if (data == nullptr || !data->hasText())
        return {};
    // Text this program wrote comes back byte for byte.
    if (data->hasFormat(ExactTextType)) {
        const QByteArray bytes = data->data(ExactTextType);
        return UpToNul(std::string(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    }
    return UpToNul(Utf8ToBytes(data->text().toStdString()));
}

void TClipboard::SetAsText(const std::string& Text)
{
    SetBuffer(CF_TEXT, Text);
}

void TClipboard::SetBuffer(UINT Format, const std::string& Bytes)
{
    QString type;
    if (Format != CF_TEXT) {
        type = MimeTypeOf(Format);
        if (type.isEmpty())
            throw EClipboardException("Clipboard format " + std::to_string(Format) + " is not registered");
    }
    Open();
    try {
        Adding();
        if (Format == CF_TEXT) {
            const std::string text = UpToNul(Bytes);
            impl_->Pending->setText(QString::fromStdString(BytesToUtf8(WithLfLineEnds(text))));
            impl_->Pending->setData(ExactTextType, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
        } else
            impl_->Pending->setData(type, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

std::string TClipboard::GetBuffer(UINT Format) const
{
    if (!HasFormat(Format))
        throw EClipboardException("The clipboard holds no data in format " + std::to_string(Format));
    if (Format == CF_TEXT)
        return AsText();
    const QMimeData* data = impl_->Pending ? impl_->Pending.get() : SystemClipboard()->mimeData();
    const QByteArray bytes = data->data(MimeTypeOf(Format));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TClipboard* Clipboard()
{
    static TClipboard clipboard;
    return &clipboard;
}
