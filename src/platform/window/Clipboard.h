// The clipboard: plain text and blocks of bytes in formats registered by name.
//
// Plain text (CF_TEXT) is held as bytes of the ANSI code page. Other programs read it as
// Unicode text with LF between lines: a CR LF in the bytes written becomes LF on the way
// out (a lone CR stays), and a byte the code page leaves undefined goes out as the control
// character of its number (0x81 as U+0081) and comes back as that byte. Beside it goes a
// private flavour with the bytes as written, which this program (every copy of it) reads
// back first: its own text comes back byte for byte. Another program's text is given as
// that program wrote it (LF or CR LF).
// A registered format carries its bytes exactly, NULs included, under a private MIME type
// derived from the format's name, so every copy of this program finds it.
//
// Everything written between the first Open and the last Close forms one clipboard
// content: the first write of such a session replaces what was there. A write outside
// Open/Close opens and closes the clipboard around itself. A failure raises
// EClipboardException.
#pragma once

#include "platform/runtime/Exceptions.h"
#include "platform/runtime/Persistent.h"
#include "platform/runtime/System.h"
#include "platform/window/WinApi.h"

#include <memory>
#include <string>

QV_DECLARE_EXCEPTION(EClipboardException, Exception);

// The plain-text format.
constexpr UINT CF_TEXT = 1;

// The format registered under Name (case-insensitive): the same name gives the same
// number for the whole run, numbers start at 0xC000. An empty name raises
// EClipboardException.
UINT RegisterClipboardFormat(const std::string& Name);

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;

    // Nested: only the outermost Close hands what was written to the window system.
    // A Close without an Open does nothing.
    void Open();
    void Close();
    bool IsOpen() const { return openCount_ > 0; }
    // Empties the clipboard (inside a session: the content the session hands over).
    void Clear();

    // Whether the clipboard offers Format now (CF_TEXT: any text). Unregistered
    // numbers are never offered.
    bool HasFormat(UINT Format) const;

    // The text, converted to the ANSI code page ("" when there is none); it ends at the
    // first NUL.
    std::string AsText() const;
    // Writes Text up to its first NUL as the plain-text format.
    void SetAsText(const std::string& Text);

    // Writes Bytes in Format (CF_TEXT or a registered one) beside the other formats of
    // the current session. An unregistered format raises EClipboardException.
    void SetBuffer(UINT Format, const std::string& Bytes);
    // The bytes the clipboard holds in Format (for CF_TEXT, AsText). Raises
    // EClipboardException when the format is not offered.
    std::string GetBuffer(UINT Format) const;

private:
    struct TImpl;
    void Adding();
    void Publish();

    int openCount_ = 0;
    std::unique_ptr<TImpl> impl_;
};

// The process-wide clipboard object.
TClipboard* Clipboard();
