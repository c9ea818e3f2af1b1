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

// CR LF between lines becomes LF, the line end other programs on this system expect.
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
    return UpToNul(Utf8ToAnsi(data->text().toStdString()));
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
        if (Format == CF_TEXT)
            impl_->Pending->setText(QString::fromStdString(AnsiToUtf8(WithLfLineEnds(UpToNul(Bytes)))));
        else
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
