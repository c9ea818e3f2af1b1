// A stand-in for the Windows registry: a tree of keys holding named string and integer
// values, kept in one text file of the user's configuration folder
// ($XDG_CONFIG_HOME/quorvel/registry.ini, else ~/.config/quorvel/registry.ini) and
// written through the safe writer on every change.
#pragma once

#include <cstdint>
#include <string>

#include "platform/runtime/Classes.h"
#include "platform/runtime/Exceptions.h"
#include "platform/runtime/System.h"

QV_DECLARE_EXCEPTION(ERegistryException, Exception);

using HKEY = std::uintptr_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;

// Access rights: a key opened without KEY_SET_VALUE (part of KEY_WRITE) refuses changes.
inline constexpr DWORD KEY_SET_VALUE = 0x0002u;
inline constexpr DWORD KEY_READ = 0x20019u;
inline constexpr DWORD KEY_WRITE = 0x20006u;
inline constexpr DWORD KEY_ALL_ACCESS = 0xF003Fu;

// Points every registry object at another file (tests use a temporary folder); an
// empty path goes back to the user's configuration folder.
void SetRegistryFileForTests(const std::string& Path);

// Key paths are names separated by '\'. A path starting with '\' goes from the root
// key; any other goes from the open key (or the root when none is open). Key and value
// names match case-insensitively and keep the spelling they were first written with.
// A key exists once something created it or a key below it.
class TRegistry : public TObject {
public:
    TRegistry();
    explicit TRegistry(DWORD AAccess);
    ~TRegistry() override = default;

    HKEY RootKey() const { return rootKey_; }
    void SetRootKey(HKEY Value);  // closes the open key; an unknown root raises
    DWORD Access() const { return access_; }
    void SetAccess(DWORD Value) { access_ = Value; }
    // The open key's path from the root, without a leading '\'; "" for the root.
    const std::string& CurrentPath() const { return currentPath_; }

    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key);
    bool CreateKey(const std::string& Key);  // false when the path has no name in it
    void CloseKey();
    bool KeyExists(const std::string& Key);
    bool DeleteKey(const std::string& Key);  // with every key below it
    void GetKeyNames(TStrings* Strings);     // the open key's direct subkeys
    void GetValueNames(TStrings* Strings);

    bool ValueExists(const std::string& Name);
    bool DeleteValue(const std::string& Name);
    // A value of the other type raises ERegistryException "Invalid data type for
    // '<name>'"; a missing one reads as "" (ReadString) or raises "Failed to get data
    // for '<name>'" (ReadInteger, ReadBool).
    std::string ReadString(const std::string& Name);
    Integer ReadInteger(const std::string& Name);
    bool ReadBool(const std::string& Name);
    // Writing into a key opened read-only raises "Failed to set data for '<name>'".
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, Integer Value);
    void WriteBool(const std::string& Name, bool Value);

private:
    std::string Resolve(const std::string& Key) const;  // full path under the root
    std::string RootName() const;
    void CheckWritable(const std::string& Name) const;

    HKEY rootKey_ = HKEY_CURRENT_USER;
    DWORD access_ = KEY_ALL_ACCESS;
    std::string currentPath_;
    bool keyOpen_ = false;
    bool keyWritable_ = true;
};
